#pragma once
// Resource ids of Torvane.exe. Ranges: 100-132 dialogs, 128 and 202-226
// icons, 227-228 menus, 1000-1099 and 57664 controls, 32780-32789 menu
// commands. Also included by the resource script, so only
// preprocessor definitions here.

// Dialogs.
#define IDD_ABOUT 100
#define IDD_MAIN 129
#define IDD_STATUS 130
#define IDD_COMPLETION 132

// Icons.
#define IDI_APPLICATION_ICON 128
#define IDI_COPY_GREY 202
#define IDI_COPY 203
#define IDI_COPY_HOVER 204
#define IDI_COPY_PUSHED 205
#define IDI_PAUSE 206
#define IDI_PAUSE_HOVER 207
#define IDI_PAUSE_PUSHED 208
#define IDI_RESUME 209
#define IDI_RESUME_HOVER 210
#define IDI_RESUME_PUSHED 211
#define IDI_ITEM_FILE 214
#define IDI_ITEM_FOLDER 215
#define IDI_ITEM_FILE_BAR 216
#define IDI_ITEM_FOLDER_BAR 217
#define IDI_ITEM_FILE_WARNING 218
#define IDI_ITEM_FOLDER_WARNING 219
#define IDI_ITEM_FILE_CROSS 220
#define IDI_ITEM_FOLDER_CROSS 221
#define IDI_ITEM_FILE_TICK 222
#define IDI_ITEM_FOLDER_TICK 223
#define IDI_ABOUT 224
#define IDI_BROWSE_SOURCE 225
#define IDI_BROWSE_DESTINATION 226

// The notification-area menu and its commands.
#define IDR_TRAY_MENU 227
#define ID_TRAY_EXIT 32780
#define ID_TRAY_SHOW_HIDE 32783

// The result list's context menu and its commands.
#define IDR_RESULTS_MENU 228
#define ID_RESULTS_COPY 32784
#define ID_RESULTS_COPY_FULL_PATHS 32785
#define ID_RESULTS_SELECT_ALL 32786

// Main form (dialog 129).
#define IDC_ABOUT 57664
#define IDC_BROWSE_SOURCE 1002
#define IDC_PROGRESS 1008
#define IDC_GO 1009
#define IDC_FROM 1012
#define IDC_TO 1013
#define IDC_BROWSE_DESTINATION 1014
#define IDC_RESULTS 1015
#define IDC_SUMMARY 1016
#define IDC_INCLUDE_SUBFOLDERS 1033
#define IDC_COPY_ATTRIBUTES 1035
#define IDC_STATUS_HOST 1042
#define IDC_STATUS_LINE 1043

// Status view (dialog 130). 1008 is the Progress display here, a static.
#define IDC_ITEM_NAME 1018
#define IDC_ITEM_FOLDER 1019
#define IDC_FILES_LABEL 1020
#define IDC_ELAPSED_LABEL 1021
#define IDC_REMAINING_TIME_LABEL 1022
#define IDC_SPEED_LABEL 1023
#define IDC_COPIED_LABEL 1024
#define IDC_REMAINING_LABEL 1025
#define IDC_PROGRESS_LABEL 1026
#define IDC_FILES 1027
#define IDC_ELAPSED 1028
#define IDC_REMAINING_TIME 1029
#define IDC_SPEED 1030
#define IDC_COPIED 1031
#define IDC_REMAINING 1032
#define IDC_PROGRESS_TEXT 1008
#define IDC_SKIPPED_LABEL 1036
#define IDC_SKIPPED 1037

// Completion and about forms: the hyperlink.
#define IDC_LINK 1034
