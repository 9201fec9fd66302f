/*
 * update_board: the smallest complete host of torvex.dll.
 *
 *   update_board APPLICATION_FILE
 *
 * Initialises the module, reads the board's reference and the version of the
 * application in its flash, downloads APPLICATION_FILE, reads the version again and
 * asks the communication library to clean up. Every result is handled as torvex.h
 * documents it. Exit status: 0 when the download succeeded, 1 otherwise.
 */
#include <stdio.h>
#include <string.h>

#include "torvex.h"

/* Prints the banner the board returned: up to five text fields, each ended by a zero
 * byte, within the buffer's TORVEX_VERSION_BUFFER_SIZE bytes. */
static void print_banner(const char* banner)
{
    size_t at = 0;
    while (at < TORVEX_VERSION_BUFFER_SIZE && banner[at] != '\0') {
        size_t length = 0;
        while (at + length < TORVEX_VERSION_BUFFER_SIZE && banner[at + length] != '\0')
            ++length;
        printf("%s%.*s", at == 0 ? "" : " ", (int)length, banner + at);
        at += length + 1;
    }
    printf("\n");
}

static void show_version(void)
{
    char banner[TORVEX_VERSION_BUFFER_SIZE];
    memset(banner, 0, sizeof banner); /* the reply may be shorter, or not come at all */
    int result = _GetVersionComposant_COM(0, banner);
    if (result == 0)
        printf("version: the board did not answer (see Torvex.log)\n");
    else if (banner[0] == '\0')
        printf("version: no application in flash\n"); /* result 1: empty flash, or no session */
    else {
        printf("version: ");
        print_banner(banner);
    }
}

/* 0, -1 and -2 are the module's failures; any other result is the library's own value
 * for an accepted download (1 from the simulated board), whatever its sign. */
static int download(const char* path)
{
    int result = _TelechargeComposant_COM(path);
    if (result == -2)
        printf("download: refused by the board\n");
    else if (result == -1)
        printf("download: failed\n");
    else if (result == 0)
        printf("download: not done (missing or empty file, no session; see Torvex.log)\n");
    else
        printf("download: accepted, application started\n");
    return result != 0 && result != -1 && result != -2;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: update_board APPLICATION_FILE\n");
        return 1;
    }

    if (_Init_Module_COM() != 1) {
        printf("init: failed (see Torvex.log beside torvex.dll)\n");
        return 1;
    }
    printf("init: ready\n");

    /* The library may fill every byte it is given: keep the last one for the zero. */
    char reference[TORVEX_REFERENCE_BUFFER_SIZE];
    memset(reference, 0, sizeof reference);
    if (_GetReferenceBoard_COM(reference, (int)sizeof reference - 1) == 1) {
        reference[sizeof reference - 1] = '\0';
        printf("reference: %s\n", reference);
    } else {
        printf("reference: not read\n");
    }

    show_version();
    int downloaded = download(argv[1]);
    show_version();

    printf("clean-up: %s\n", _Clean_ZR_COM() == 1 ? "done" : "not done");
    return downloaded ? 0 : 1;
}
