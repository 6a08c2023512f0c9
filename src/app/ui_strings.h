#pragma once

#include <QString>
#include <QStringList>

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

constexpr int kGermanStringBase = 500;
constexpr int kEnglishStringBase = 1000;

/// German (any region) when the first user-interface language is German, English otherwise.
int StringTableBase(const QStringList& uiLanguages);

/// The text of a string table id; empty for an unknown id.
QString LoadUiString(int id);

/// Texts that are the same in every language.
inline constexpr const char* kRenameCheckText = "*.avi zu *.mov umbenennen";
inline constexpr const char* kBrowseText = "...";
inline constexpr const char* kMainCaption = "Tessel Converter";
inline constexpr const char* kDetailsCaption = "Details";
