// A library that holds nothing but the program's resources (see tests/CMakeLists.txt).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
