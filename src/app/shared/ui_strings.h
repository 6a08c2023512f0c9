#pragma once

#include <string_view>

#include "app/shared/ui_texts.h"

/// The dialog's string table: German texts from id 500 on, the English ones 500 ids later.
/// Add a role's offset to the base that `StringTableBase` chooses.
enum UiStringRole : int {
    kInputPromptString = 0,   ///< static above the input edit
    kOutputPromptString = 1,  ///< static beside the save button
    kQuitString = 2,          ///< the default button
    kSaveString = 3,          ///< the save button
    kPortableString = 4,      ///< the portable form's check box
    kPortableTipString = 5,   ///< its tool tip: what the form is for
};

constexpr int kGermanStringBase = IDS_INPUT_PROMPT_DE;
constexpr int kEnglishStringBase = IDS_INPUT_PROMPT_EN;

/// German for every German variant, English for every other language.
constexpr int StringTableBase(bool german) {
    return german ? kGermanStringBase : kEnglishStringBase;
}

/// The base for a Windows language identifier: its primary language (the low 10 bits) decides.
constexpr int StringTableBaseForLanguageId(unsigned languageId) {
    constexpr unsigned kPrimaryLanguageMask = 0x3FF;
    constexpr unsigned kGerman = 0x07;
    return StringTableBase((languageId & kPrimaryLanguageMask) == kGerman);
}

/// The UTF-8 text of a string table id; empty for an unknown id.
std::string_view UiString(int id);

/// Texts that are the same in every language.
inline constexpr const char* kRenameCheckText = TESSEL_TEXT_RENAME_AVI;
inline constexpr const char* kBrowseText = TESSEL_TEXT_BROWSE;
inline constexpr const char* kMainCaption = TESSEL_TEXT_MAIN_CAPTION;
inline constexpr const char* kDetailsCaption = TESSEL_TEXT_DETAILS_CAPTION;
