// A stand-in for a DirectShow filter library for the start-up test: its DllRegisterServer appends a line
// to the file TARMELO_REGISTER_LOG names and returns 0, so the test counts the calls.
#include <windows.h>
#include <cstdio>
#include <cstdlib>

extern "C" HRESULT WINAPI marker_register_server() {
    if (const char* log = getenv("TARMELO_REGISTER_LOG"))
        if (FILE* f = fopen(log, "a")) {
            fputs("DllRegisterServer\n", f);
            fclose(f);
        }
    return S_OK;
}
