/*
 * A host linked the way an MSVC-style toolchain links: compiled for i686-pc-windows-msvc,
 * linked against the release's torvex.lib, without a C runtime. It calls all five
 * exports through the import library, so each import must resolve by its exported name
 * and each call must return to a balanced stack. Run from the release's bin/ folder
 * against the simulated board; prints one line per call. Exit status 0 when every result
 * is the one a healthy board gives, else the number of the first call that was not.
 */
#include "torvex.h"

/* The three system calls it needs, declared here: no SDK headers are assumed. */
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written,
                                              void* overlapped);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);

#define STD_OUTPUT ((unsigned long)-11)

static char reference[TORVEX_REFERENCE_BUFFER_SIZE];
static char banner[TORVEX_VERSION_BUFFER_SIZE];

static void put(const char* text, unsigned long length)
{
    unsigned long written;
    WriteFile(GetStdHandle(STD_OUTPUT), text, length, &written, 0);
}

static void put_text(const char* text)
{
    unsigned long length = 0;
    while (text[length] != '\0')
        ++length;
    put(text, length);
}

static void put_result(const char* name, int value)
{
    char digits[12];
    int at = (int)sizeof digits;
    unsigned int magnitude = value < 0 ? 0u - (unsigned int)value : (unsigned int)value;
    do {
        digits[--at] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--at] = '-';
    put_text(name);
    put_text(" = ");
    put(digits + at, (unsigned long)(sizeof digits - at));
}

/* The banner's first field, within the buffer. */
static void put_first_field(const char* text, unsigned long capacity)
{
    unsigned long length = 0;
    while (length < capacity && text[length] != '\0')
        ++length;
    put(text, length);
}

void __cdecl host_entry(void)
{
    unsigned int failed = 0;

    int init = _Init_Module_COM();
    put_result("_Init_Module_COM", init);
    put_text("\r\n");
    if (init != 1 && failed == 0)
        failed = 1;

    int read = _GetReferenceBoard_COM(reference, (int)sizeof reference - 1);
    put_result("_GetReferenceBoard_COM", read);
    put_text(", reference ");
    put_first_field(reference, sizeof reference - 1);
    put_text("\r\n");
    if (read != 1 && failed == 0)
        failed = 2;

    int downloaded = _TelechargeComposant_COM("..\\simulator\\sample-application.bin");
    put_result("_TelechargeComposant_COM", downloaded);
    put_text("\r\n");
    if (downloaded <= 0 && failed == 0)
        failed = 3;

    int version = _GetVersionComposant_COM(0, banner);
    put_result("_GetVersionComposant_COM", version);
    put_text(", first field ");
    put_first_field(banner, sizeof banner);
    put_text("\r\n");
    if ((version == 0 || banner[0] == '\0') && failed == 0)
        failed = 4;

    int cleaned = _Clean_ZR_COM();
    put_result("_Clean_ZR_COM", cleaned);
    put_text("\r\n");
    if (cleaned != 1 && failed == 0)
        failed = 5;

    ExitProcess(failed);
}
