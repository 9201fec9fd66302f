#include "log_baseline.h"

#include <stdio.h>

int BaselineWriteLog(const char* path, const char* text)
{
    FILE* file = fopen(path, "a+");
    long size;
    if (file == NULL)
        return 0;
    fputs(text, file);
    fseek(file, 0, SEEK_END);
    size = ftell(file);
    fclose(file);
    if (size > 5000000L) {
        file = fopen(path, "w+");
        if (file != NULL)
            fclose(file);
    }
    return 1;
}
