#include <gtest/gtest.h>

#include "app/shared/ui_strings.h"

TEST(UiStrings, GermanForEveryGermanLanguageIdEnglishOtherwise) {
    const struct {
        unsigned languageId;
        int base;
    } cases[] = {
        {0x0407, kGermanStringBase},   // Germany
        {0x0807, kGermanStringBase},   // Switzerland
        {0x0C07, kGermanStringBase},   // Austria
        {0x1007, kGermanStringBase},   // Luxembourg
        {0x1407, kGermanStringBase},   // Liechtenstein
        {0x0007, kGermanStringBase},   // German, no region
        {0x0409, kEnglishStringBase},  // English
        {0x040C, kEnglishStringBase},  // French
        {0x0413, kEnglishStringBase},  // Dutch
        {0x0487, kEnglishStringBase},  // Kinyarwanda: German's low bits, but not within 10 bits
        {0x0000, kEnglishStringBase},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StringTableBaseForLanguageId(c.languageId), c.base) << std::hex << c.languageId;
    }
}

TEST(UiStrings, TableHoldsBothLanguagesFiveHundredApart) {
    const struct {
        int id;
        const char* text;
    } cases[] = {
        {500, "Bitte aus Edius exportierte *.aaf Datei auswählen:"},
        {501, "FinalCut Interchange Format abspeichern:"},
        {502, "Beenden"},
        {503, "Speichern..."},
        {1000, "Please select the exported *.aaf file of Edius:"},
        {1001, "Save FinalCut Interchange format:"},
        {1002, "Quit"},
        {1003, "Save..."},
        {504, "Portable Fassung"},
        {1004, "Portable form"},
        {506, ""},
        {999, ""},
        {1006, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UiString(c.id), c.text) << c.id;
    }
    for (int role : {kInputPromptString, kOutputPromptString, kQuitString, kSaveString,
                     kPortableString, kPortableTipString}) {
        EXPECT_EQ(StringTableBase(true) + role + 500, StringTableBase(false) + role);
        EXPECT_FALSE(UiString(StringTableBase(true) + role).empty()) << role;
        EXPECT_FALSE(UiString(StringTableBase(false) + role).empty()) << role;
    }
}
