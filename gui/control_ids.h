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
#define IDC_ALLOW_UNSIGNED 1025
#define IDC_LOG 1030
#define IDC_HISTORY 1031

/* Title of the window, by which a test finds it. */
#define TORVEXGUI_TITLE L"Torvex board update"

#endif
