// What a file or web address handed to the program (dropped on its window or named on its
// command line) becomes: a new blinket, still without a picture, that runs it.
#pragma once

#include "model/Blinket.h"

#include <memory>

// Whether the text is an http: or https: address, in any letter case.
bool IsWebAddress(const wchar_t* text);
// Whether the text is a full path: a drive and its root, or a network share.
bool IsFullPath(const wchar_t* text);

// Whether the text can become a blinket: a web address or a full path that fits the action
// string and holds no control characters. Nothing is read.
bool IsUsableTarget(const wchar_t* target);

// "Run: Web Page" with a web address, or with the URL= address of an Internet Shortcut (.url);
// "Run: Program" with any other full path, a shortcut without a usable address included. Null
// for a target that is not usable. Without readShortcut the shortcut is not read (it may lie on a
// drive that does not answer) and is taken as a program.
std::unique_ptr<Blinket> BlinketForTarget(const wchar_t* target, bool readShortcut = true);
