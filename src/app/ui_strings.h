#pragma once

#include <QString>
#include <QStringList>

#include "app/shared/ui_strings.h"

/// German (any region) when the first user-interface language is German, English otherwise.
int StringTableBase(const QStringList& uiLanguages);

/// The text of a string table id; empty for an unknown id.
QString LoadUiString(int id);
