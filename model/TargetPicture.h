// A blinket's picture made from the icon of what it runs, kept in the user's picture folder.
#pragma once

#include <windows.h>

#include <string>

// Makes a picture of the target's icon (a program, shortcut, Internet shortcut, document or web
// address) in the folder, or finds the one made before for the same target and icon; its full
// path. False when no icon can be had or the picture cannot be written. COM must be initialised
// on the calling thread; reading a slow drive may take long, so the window's thread never calls it.
bool MakeTargetPicture(const wchar_t* target, const wchar_t* folder, wchar_t (&picture)[MAX_PATH]);

// The name a picture made for the target from that icon file and index gets: the target's name
// (the scheme for a web address, the picture depending on nothing else) and a hash of the target
// and the icon's place, so that one target and icon always give one file.
std::wstring TargetPictureName(const wchar_t* target, const wchar_t* iconFile, int iconIndex);
