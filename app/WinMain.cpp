// The entry point: the process set-up, then start-up and the message loop, or a command.
#include "app/Launch.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // Image decoding stays loaded for the whole run instead of being set up for every picture.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int exitCode = RunProgram(instance, showCommand);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
