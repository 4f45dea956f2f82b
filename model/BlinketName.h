// What a person calls a blinket where its picture cannot speak for it: to a screen reader and in
// the label that shows while the pointer rests on it.
#pragma once

#include "model/Blinket.h"

#include <string>

// The name of a blinket that shows the Options dialog.
extern const wchar_t kOptionsName[];

// The host of a web address, in lower case and in Unicode where it is written in the ASCII form
// of an international name; without the scheme, the user's name and password, and the port.
// Empty when the text names no host.
std::wstring WebAddressHost(const wchar_t* address);
// The file name of a path without its extension: "notepad" for "%SystemRoot%\notepad.exe". An
// environment variable that stands for the whole name is called by the variable's name. Empty
// when the path names no file.
std::wstring FileTitle(const wchar_t* path);
// The web address's host, the program's file title, or "Options". Where the action string names
// no host or file the blinket is called by the string itself, and where it is empty, or the
// blinket has no action, by its picture's file title.
std::wstring BlinketName(const Blinket& blinket);
// The label of a blinket: its name and, on the lines below, its action string, broken into lines
// of at most lineChars characters and cut with an ellipsis where the whole would pass maxChars.
std::wstring BlinketLabel(const Blinket& blinket, size_t lineChars, size_t maxChars);
