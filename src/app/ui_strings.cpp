#include "app/ui_strings.h"

#include <QLocale>

int StringTableBase(const QStringList& uiLanguages) {
    // Only the preferred language counts, as the primary language of the user's default UI
    // language does on Windows: a German second choice does not make the dialog German.
    if (!uiLanguages.isEmpty() && QLocale(uiLanguages.front()).language() == QLocale::German) {
        return kGermanStringBase;
    }
    return kEnglishStringBase;
}

QString LoadUiString(int id) {
    switch (id) {
        case kGermanStringBase + kInputPromptString:
            return QStringLiteral("Bitte aus Edius exportierte *.aaf Datei auswählen:");
        case kGermanStringBase + kOutputPromptString:
            return QStringLiteral("FinalCut Interchange Format abspeichern:");
        case kGermanStringBase + kQuitString:
            return QStringLiteral("Beenden");
        case kGermanStringBase + kSaveString:
            return QStringLiteral("Speichern...");
        case kGermanStringBase + kPortableString:
            return QStringLiteral("Portable Fassung");
        case kGermanStringBase + kPortableTipString:
            return QStringLiteral(
                "Für Premiere Pro, DaVinci Resolve und andere Programme: Medienpfade als "
                "file://-Adressen und alle Angaben, die diese beim Import verlangen. Final Cut "
                "Pro 7 liest beide Fassungen.");
        case kEnglishStringBase + kInputPromptString:
            return QStringLiteral("Please select the exported *.aaf file of Edius:");
        case kEnglishStringBase + kOutputPromptString:
            return QStringLiteral("Save FinalCut Interchange format:");
        case kEnglishStringBase + kQuitString:
            return QStringLiteral("Quit");
        case kEnglishStringBase + kSaveString:
            return QStringLiteral("Save...");
        case kEnglishStringBase + kPortableString:
            return QStringLiteral("Portable form");
        case kEnglishStringBase + kPortableTipString:
            return QStringLiteral(
                "For Premiere Pro, DaVinci Resolve and other importers: media paths as file:// "
                "URLs and every detail these ask for on import. Final Cut Pro 7 reads both "
                "forms.");
        default:
            return {};
    }
}
