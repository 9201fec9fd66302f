/*
 * torvex: updates the application firmware of a communication board and reads back
 * what the board carries. The module drives the board through the communication
 * library "quelvane.dll", whose folder is read from "torvex.ini" beside the module,
 * and traces every operation into "Torvex.log" beside the module.
 *
 * Binary contract (32-bit Windows, "torvex.dll"):
 *  - five functions, exported by name exactly as spelled below (leading underscore
 *    included, no decoration) and by ordinal, 1 to 5 in the order below;
 *  - plain C calling convention (__cdecl), int results, no exceptions;
 *  - call _Init_Module_COM first in every process; call from any thread: calls run
 *    one at a time.
 */
#ifndef TORVEX_H
#define TORVEX_H

#include "torvex_version.h"

#if defined(_WIN32) && !defined(_WIN64)
#define TORVEX_CALL __cdecl
#else
#define TORVEX_CALL
#endif

#if defined(_WIN32)
#define TORVEX_API
#else
#define TORVEX_API __attribute__((visibility("default")))
#endif

/* Capacity, in bytes, that the host's buffer of _GetVersionComposant_COM must have.
 * The board's version reply is a 48-byte banner; at most this many bytes of the
 * reply are written into the host's buffer, whatever length the board announces. */
#define TORVEX_VERSION_BUFFER_SIZE 48

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinal 1. Loads the communication library, checks that no session occupies the
 * interface, creates the router and initialises the board. 1: ready; 0: failure
 * (see Torvex.log). Call it again to retry after a failure. */
TORVEX_API int TORVEX_CALL _Init_Module_COM(void);

/* Ordinal 2. Downloads the application file at `path` into the board, then starts it
 * and resets the board. Returns the library's non-zero success value when the download
 * was accepted and the application started; -2 when the board refused the download;
 * -1 when the download failed; 0 for any other failure (no library, no session, missing,
 * empty or changing file, start or reset failed). */
TORVEX_API int TORVEX_CALL _TelechargeComposant_COM(char* path);

/* Ordinal 3. Asks the board for the banner of the application in its flash and writes
 * the raw reply (zero-separated text fields) into `buffer`, which must hold at least
 * TORVEX_VERSION_BUFFER_SIZE bytes: a longer reply is cut to that size. `unused` has no
 * effect. Returns 1 for an empty flash (buffer untouched) and, as hosts expect, when no
 * session could be opened; 0 on failure; otherwise the library's result of the fetch
 * (or of the command when nothing was fetched). */
TORVEX_API int TORVEX_CALL _GetVersionComposant_COM(int unused, char* buffer);

/* Ordinal 4. Reads the board's reference string into `buffer`; `length` is the buffer's
 * capacity in bytes, handed unchanged to the communication library. 1: read; 0: failure. */
TORVEX_API int TORVEX_CALL _GetReferenceBoard_COM(char* buffer, int length);

/* Ordinal 5. Asks the communication library to clean up, in a session of its own.
 * 1 when the clean-up was called; 0 otherwise. */
TORVEX_API int TORVEX_CALL _Clean_ZR_COM(void);

#ifdef __cplusplus
}
#endif

#endif
