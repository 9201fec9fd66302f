/* The trace log's work written out in plain C: what WriteStringToLog is measured against. */
#ifndef TORVEX_BENCH_LOG_BASELINE_H
#define TORVEX_BENCH_LOG_BASELINE_H

#ifdef __cplusplus
extern "C" {
#endif

/* Opens `path` in append mode, writes `text`, takes the size (seek to the end, read the
 * position), closes, and empties the file when it has grown past 5,000,000 bytes.
 * 1 when the file opened, 0 otherwise. */
int BaselineWriteLog(const char* path, const char* text);

#ifdef __cplusplus
}
#endif

#endif
