// The session each exported board operation opens for itself and closes before returning.
#ifndef TORVEX_SESSION_H
#define TORVEX_SESSION_H

#include "link/library_contract.h"

// Opens a session on `session`. When it does not open, logs
// "OpenCommSession NOK CompteRendu com = ... général = ..." and returns false.
bool OpenOperationSession(CompteRendu& session, unsigned char& sessionFlag);

// Closes the session on the record the open filled (when the library can).
void CloseOperationSession(CompteRendu& session);

// The exit and separator lines that end an exported operation.
void LogOperationEnd(const char* exitLine);

#endif
