/* The dialogs' resource ids, control ids and layouts in dialog units. Plain macros, so that the
   Windows resource script and the C++ of both front ends read the same numbers. */
#pragma once

/* Main dialog */
#define IDD_TESSEL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_BADGE_1 129
#define IDB_BADGE_2 130
#define IDB_WORDMARK 132
#define IDC_BROWSE_AAF 1000
#define IDC_AAF_PATH 1001
#define IDC_INPUT_PROMPT 1002
#define IDC_OUTPUT_PROMPT 1003
#define IDC_SAVE 1004
#define IDC_STATUS 1005
#define IDC_WORDMARK 1008
#define IDC_RENAME_AVI 1010
#define IDC_PORTABLE 1011

/* x, y, width, height */
#define TESSEL_DIALOG_SIZE 292, 126
#define TESSEL_QUIT_RECT 234, 103, 50, 16
#define TESSEL_INPUT_PROMPT_RECT 31, 9, 252, 8
#define TESSEL_BROWSE_RECT 262, 21, 22, 14
#define TESSEL_AAF_PATH_RECT 31, 21, 226, 14
#define TESSEL_OUTPUT_PROMPT_RECT 31, 52, 200, 8
#define TESSEL_SAVE_RECT 234, 49, 50, 14
#define TESSEL_STATUS_RECT 7, 82, 277, 13
#define TESSEL_BADGE_1_RECT 7, 7, 19, 18
#define TESSEL_BADGE_2_RECT 7, 49, 19, 18
#define TESSEL_WORDMARK_RECT 7, 102, 95, 20
#define TESSEL_RENAME_AVI_RECT 31, 69, 163, 10
#define TESSEL_PORTABLE_RECT 198, 69, 86, 10

/* Details dialog */
#define IDD_DETAILS 134
#define IDC_LOG 1009
#define TESSEL_DETAILS_SIZE 317, 185
#define TESSEL_DETAILS_OK_RECT 260, 164, 50, 14
#define TESSEL_DETAILS_LOG_RECT 7, 7, 303, 150

/* The background of the main dialog, its statics and its check box */
#define TESSEL_BACKGROUND_RGB 220, 220, 220
