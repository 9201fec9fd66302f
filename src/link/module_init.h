// Bringing the module from loaded to ready: process-wide state and initialisation steps.
#ifndef TORVEX_MODULE_INIT_H
#define TORVEX_MODULE_INIT_H

// Holds the handle of the loaded communication library (null when loading failed).
struct LibraryHolder {
    void* library;
};

extern LibraryHolder* g_pHinst;  // null until the first Init_Library
extern int g_bINIT;              // 1 once _Init_Module_COM has fully succeeded; never reset
extern int g_bROUTER;            // 1 once _CreateRouter has succeeded; never reset

// Fixes the log path, reads the INI file, loads the library and resolves its entry
// points. 1 when the library was loaded.
int Init_Library(void);

// Checks that the interface is free, creates the router and initialises the board.
int Init_Com(void);

#endif
