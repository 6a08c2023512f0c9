#pragma once

#include <QString>

/// The name the save dialog proposes for an input path: the path up to, not including, its last
/// "." (so "cut.aaf" gives "cut"), or empty when it has none. A "." in a folder name counts too.
QString DefaultOutputName(const QString& aafPath);
