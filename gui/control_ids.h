/* Identifiers of the window's dialog and controls. Shared by the resource script, the
   program and the test that drives the window, so keep it plain for the resource compiler. */
#ifndef TORVEXGUI_CONTROL_IDS_H
#define TORVEXGUI_CONTROL_IDS_H

#define IDD_MAIN 100
#define IDI_APP 101

#define IDC_BOARD_REFERENCE 1001
#define IDC_BOARD_APPLICATION 1002
#define IDC_REFRESH 1003
#define IDC_FILE_PATH 1010
#define IDC_BROWSE 1011
#define IDC_FILE_BANNER 1012
#define IDC_FILE_CHECK 1013
#define IDC_FILE_MANIFEST 1014
#define IDC_FORCE 1020
#define IDC_UPDATE 1021
#define IDC_PROGRESS 1022
#define IDC_ELAPSED 1023
#define IDC_OUTCOME 1024
#define IDC_ALLOW_UNSIGNED 1029
#define IDC_ALLOW_OLDER 1033
#define IDC_LOG 1030
#define IDC_HISTORY 1031

/* The operator, recorded in the history and remembered between runs. */
#define IDC_OPERATOR 1015
/* The outcome at a glance: one of three system icons shown, and a one-line headline. */
#define IDC_OUTCOME_SUCCESS 1025
#define IDC_OUTCOME_WARNING 1026
#define IDC_OUTCOME_ERROR 1027
#define IDC_OUTCOME_HEADLINE 1028
/* What the history list cannot show: damaged lines skipped, an empty or unreadable history. */
#define IDC_HISTORY_NOTE 1032
/* Frames and labels that move when the window is resized. */
#define IDC_BOARD_GROUP 1040
#define IDC_FILE_GROUP 1041
#define IDC_LOG_LABEL 1042
#define IDC_HISTORY_LABEL 1043
/* The module's version, read from torvex.dll's version resource. */
#define IDC_MODULE_VERSION 1044

/* The program's name as people see it (the Start-menu entry): the title of its messages,
   and the start of the window's title, which the product's version follows. */
#define TORVEXGUI_TITLE L"Torvex board update"

#endif
