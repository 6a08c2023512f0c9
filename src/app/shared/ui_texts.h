/* The dialogs' texts in UTF-8, as plain macros for the Windows resource script and the C++ of
   both front ends. The string table ids: German from 500, English 500 higher. */
#pragma once

#define IDS_INPUT_PROMPT_DE 500
#define IDS_OUTPUT_PROMPT_DE 501
#define IDS_QUIT_DE 502
#define IDS_SAVE_DE 503
#define IDS_PORTABLE_DE 504
#define IDS_PORTABLE_TIP_DE 505
#define IDS_INPUT_PROMPT_EN 1000
#define IDS_OUTPUT_PROMPT_EN 1001
#define IDS_QUIT_EN 1002
#define IDS_SAVE_EN 1003
#define IDS_PORTABLE_EN 1004
#define IDS_PORTABLE_TIP_EN 1005

#define TESSEL_TEXT_INPUT_PROMPT_DE "Bitte aus Edius exportierte *.aaf Datei auswählen:"
#define TESSEL_TEXT_OUTPUT_PROMPT_DE "FinalCut Interchange Format abspeichern:"
#define TESSEL_TEXT_QUIT_DE "Beenden"
#define TESSEL_TEXT_SAVE_DE "Speichern..."
#define TESSEL_TEXT_PORTABLE_DE "Portable Fassung"
#define TESSEL_TEXT_PORTABLE_TIP_DE                                                      \
    "Für Premiere Pro, DaVinci Resolve und andere Programme: Medienpfade als file://-"  \
    "Adressen und alle Angaben, die diese beim Import verlangen. Final Cut Pro 7 liest " \
    "beide Fassungen."
#define TESSEL_TEXT_INPUT_PROMPT_EN "Please select the exported *.aaf file of Edius:"
#define TESSEL_TEXT_OUTPUT_PROMPT_EN "Save FinalCut Interchange format:"
#define TESSEL_TEXT_QUIT_EN "Quit"
#define TESSEL_TEXT_SAVE_EN "Save..."
#define TESSEL_TEXT_PORTABLE_EN "Portable form"
#define TESSEL_TEXT_PORTABLE_TIP_EN                                                       \
    "For Premiere Pro, DaVinci Resolve and other importers: media paths as file:// URLs " \
    "and every detail these ask for on import. Final Cut Pro 7 reads both forms."

/* The same in every language */
#define TESSEL_TEXT_MAIN_CAPTION "Tessel Converter"
#define TESSEL_TEXT_DETAILS_CAPTION "Details"
#define TESSEL_TEXT_RENAME_AVI "*.avi zu *.mov umbenennen"
#define TESSEL_TEXT_BROWSE "..."
#define TESSEL_TEXT_OK "OK"
