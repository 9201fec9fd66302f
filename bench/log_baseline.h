/* The trace log's work written out in plain C: what WriteStringToLog is measured against. */
#ifndef TORVEX_BENCH_LOG_BASELINE_H
#define TORVEX_BENCH_LOG_BASELINE_H

#ifdef __cplusplus
extern "C" {
#endif

/* The floor: the system's own calls for a plain open-append-close, shared with every other
 * writer and without any exclusion (bench/platform/<system>/log_floor.c). Opens `path`,
 * creating it, appends `text` as it stands at the end, takes the size, closes, and empties
 * the file when it has grown past 5,000,000 bytes. 1 when the file opened, 0 otherwise. */
int FloorWriteLog(const char* path, const char* text);

/* The floor with a lock around the write that every appender of the file takes, as a log
 * keeping its lines whole with lock calls would: flock natively, LockFileEx and UnlockFileEx
 * on Windows. 1 when the file opened, 0 otherwise. */
int LockedWriteLog(const char* path, const char* text);

/* The same through the C runtime: fopen "a+", fputs, seek to the end, position, fclose, and
 * fopen "w+" to empty the file past the limit. 1 when the file opened, 0 otherwise. */
int BaselineWriteLog(const char* path, const char* text);

#ifdef __cplusplus
}
#endif

#endif
