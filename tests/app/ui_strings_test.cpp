#include <gtest/gtest.h>

#include "qstring_printer.h"

#include "app/ui_strings.h"

TEST(UiStrings, GermanInAnyRegionOtherwiseEnglish) {
    const struct {
        QStringList languages;
        int base;
    } cases[] = {
        {{"de-DE"}, kGermanStringBase},
        {{"de-AT", "en-US"}, kGermanStringBase},
        {{"de-CH"}, kGermanStringBase},
        {{"de"}, kGermanStringBase},
        {{"en-US", "de-DE"}, kEnglishStringBase},  // German only as a second choice
        {{"fr-FR"}, kEnglishStringBase},
        {{"nl-BE"}, kEnglishStringBase},
        {{"C"}, kEnglishStringBase},
        {{}, kEnglishStringBase},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StringTableBase(c.languages), c.base) << c.languages.join(u',').toStdString();
    }
}

TEST(UiStrings, TableHoldsBothLanguagesFiveHundredApart) {
    EXPECT_EQ(LoadUiString(500),
              QStringLiteral("Bitte aus Edius exportierte *.aaf Datei auswählen:"));
    EXPECT_EQ(LoadUiString(501), QStringLiteral("FinalCut Interchange Format abspeichern:"));
    EXPECT_EQ(LoadUiString(502), QStringLiteral("Beenden"));
    EXPECT_EQ(LoadUiString(503), QStringLiteral("Speichern..."));
    EXPECT_EQ(LoadUiString(1000),
              QStringLiteral("Please select the exported *.aaf file of Edius:"));
    EXPECT_EQ(LoadUiString(1001), QStringLiteral("Save FinalCut Interchange format:"));
    EXPECT_EQ(LoadUiString(1002), QStringLiteral("Quit"));
    EXPECT_EQ(LoadUiString(1003), QStringLiteral("Save..."));
    EXPECT_EQ(LoadUiString(504), QStringLiteral("Portable Fassung"));
    EXPECT_EQ(LoadUiString(1004), QStringLiteral("Portable form"));
    EXPECT_FALSE(LoadUiString(505).isEmpty());
    EXPECT_FALSE(LoadUiString(1005).isEmpty());
    EXPECT_TRUE(LoadUiString(506).isEmpty());
    EXPECT_TRUE(LoadUiString(1006).isEmpty());
    EXPECT_TRUE(LoadUiString(999).isEmpty());
}
