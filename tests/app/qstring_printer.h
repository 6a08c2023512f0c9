#pragma once

#include <QString>

#include <ostream>

/// Lets GoogleTest print texts readably in failure messages. Every test source includes this,
/// so that all of them print a QString the same way.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
