// What a screen reader finds in the window, which is drawn by hand and so exposes nothing of its
// own: an object named "Ocellix" whose children are the shown blinkets, push buttons with a
// name, their action string as description, a place on the screen and the default action
// "Press". Read through MSAA's IAccessible, and by UI Automation through its MSAA proxy.
#pragma once

#include <windows.h>

// IAccessible's id. mingw defines IID_IAccessible twice (uuid and oleacc); linking past the clash
// may pick an import stub, and then every query fails. Spelled out, it is the one true id.
extern const IID kIidAccessible;

// What "Press" posts to the window, rather than act inside the screen reader's call: wParam is
// the blinket's list index.
constexpr UINT kPressRequestMessage = WM_APP + 64;

// WM_GETOBJECT: the window's accessible object for its client area, made on first use; any
// other object is the default handling's.
LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam);
// The window's end: the object lets go of the window, and every call a screen reader still
// makes on it fails cleanly (CO_E_OBJNOTCONNECTED) instead of reaching what is gone.
void DisconnectAccessible();
