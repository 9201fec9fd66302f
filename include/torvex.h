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
 *  - call _Init_Module_COM first in every process; calls may come from any thread,
 *    they run one at a time;
 *  - import libraries: lib/libtorvex.dll.a (GNU linkers), lib/torvex.lib (MSVC-style
 *    linkers); a CMake package: find_package(torvex) gives torvex::torvex.
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

/* Capacity to give the buffer of _GetReferenceBoard_COM: the reference is a short text,
 * and this leaves ample room. Keep one byte of it back for a terminating zero (see below). */
#define TORVEX_REFERENCE_BUFFER_SIZE 256

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinal 1. Loads the communication library named in torvex.ini, checks that no session
 * occupies the interface, creates the router and initialises the board.
 * Returns 1: ready. 0: failure (library not found, interface occupied, router or board
 * initialisation failed; Torvex.log says which). Call it again to retry: every later call
 * after a failure reloads the library. Once it has returned 1, further calls return 1. */
TORVEX_API int TORVEX_CALL _Init_Module_COM(void);

/* Ordinal 2. Downloads the application file at `path` into the board, then starts it
 * and resets the board. `path` is read, never written.
 * Once a session is open the board is reset first, also when nothing is then sent.
 * Returns the library's own non-zero result for the download: accepted, started and
 *       reset (1 from the simulated board; any value but 0, -1 and -2, negative included).
 *   -2: the library returned 0 and reported 19, 48 or 51: the board refused the download.
 *   -1: the library returned 0 and reported 50: the download failed.
 *    0: any other failure: no library, no session, missing, empty or changing file, a
 *       zero result with any other report, or the start or reset after an accepted
 *       download failed (the application may then already be written: read it back).
 * Test for acceptance as "neither 0, -1 nor -2", never as `!= 0`; Torvex.log tells an
 * accepted download by the Saut_Appli lines after its report line. */
TORVEX_API int TORVEX_CALL _TelechargeComposant_COM(const char* path);

/* Ordinal 3. Asks the board for the banner of the application in its flash and writes
 * the raw reply (five text fields, each ended by a zero byte) into `buffer`, which must
 * hold at least TORVEX_VERSION_BUFFER_SIZE bytes: a longer reply is cut to that size.
 * Clear the buffer before the call: the reply may be shorter, and nothing is written when
 * no banner comes back. `unused` has no effect.
 * Returns 0: failure (no library, or the board answered with an error).
 *    1: the flash holds no application (buffer untouched), OR no session could be opened
 *       (buffer untouched): the two cannot be told apart by the result; an all-zero
 *       buffer after 1 means "no banner", and Torvex.log says which of the two happened.
 *    otherwise: the library's result of the reply fetch (or of the command when there was
 *       nothing to fetch); a banner in `buffer` is what counts. */
TORVEX_API int TORVEX_CALL _GetVersionComposant_COM(int unused, char* buffer);

/* Ordinal 4. Reads the board's reference string into `buffer`; `length` is the buffer's
 * capacity in bytes, handed unchanged to the communication library, which may fill all
 * `length` bytes without a terminating zero. Reserve one byte: pass capacity - 1 as
 * `length` and set buffer[capacity - 1] to 0 yourself (TORVEX_REFERENCE_BUFFER_SIZE is a
 * sensible capacity).
 * Returns 1: the reference was read. 0: failure (no library, no session, or the library
 * could not read it); the buffer's content is then meaningless. */
TORVEX_API int TORVEX_CALL _GetReferenceBoard_COM(char* buffer, int length);

/* Ordinal 5. Asks the communication library to clean up, in a session of its own.
 * Returns 1: the clean-up was called. 0: no library, no session, or the library has no
 * clean-up. Nothing else in the module depends on it. */
TORVEX_API int TORVEX_CALL _Clean_ZR_COM(void);

#ifdef __cplusplus
}
#endif

#endif
