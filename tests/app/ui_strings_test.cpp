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

TEST(UiStrings, LoadsTheSharedTable) {
    EXPECT_EQ(LoadUiString(500),
              QStringLiteral("Bitte aus Edius exportierte *.aaf Datei auswählen:"));
    EXPECT_EQ(LoadUiString(1003), QStringLiteral("Save..."));
    EXPECT_EQ(LoadUiString(504), QStringLiteral("Portable Fassung"));
    EXPECT_EQ(LoadUiString(1004), QStringLiteral("Portable form"));
    EXPECT_FALSE(LoadUiString(505).isEmpty());
    EXPECT_FALSE(LoadUiString(1005).isEmpty());
    EXPECT_TRUE(LoadUiString(506).isEmpty());
    EXPECT_TRUE(LoadUiString(1006).isEmpty());
    EXPECT_TRUE(LoadUiString(999).isEmpty());
}
