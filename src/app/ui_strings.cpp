#include "app/ui_strings.h"

#include <QLocale>

int StringTableBase(const QStringList& uiLanguages) {
    // Only the preferred language counts, as the primary language of the user's default UI
    // language does on Windows: a German second choice does not make the dialog German.
    return StringTableBase(!uiLanguages.isEmpty() &&
                           QLocale(uiLanguages.front()).language() == QLocale::German);
}

QString LoadUiString(int id) {
    const std::string_view text = UiString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
