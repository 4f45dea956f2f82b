// Start at sign-in: the current user's Run value "Ocellix", and beside it the switch for that
// value which Windows keeps under Explorer\StartupApproved\Run and which Settings' Startup page
// and Task Manager's Startup tab show and change. Both are written, so that Ocellix and Windows
// never disagree about whether it starts.
#pragma once

#include <windows.h>

#include <array>

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kStartupApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kAutostartName[] = L"Ocellix";

// The switch as Windows writes it: 12 bytes, the first 2 for on and 3 for off, and for off the
// time it was turned off (a FILETIME, UTC) in bytes 4 to 11; the rest zero.
using StartupSwitch = std::array<BYTE, 12>;
StartupSwitch MakeStartupSwitch(bool on, FILETIME changed);
// Windows reads the lowest bit of the first byte as "turned off"; other bits vary between
// entries. Data of another size is no switch Windows wrote.
bool SwitchSaysOff(const BYTE* data, DWORD size);

// Ocellix starts at sign-in from the program at this full path: the Run value names it, in
// quotes (a path with spaces is otherwise read as a program and its arguments), and the switch
// says on. False when either cannot be written.
bool TurnAutostartOn(const wchar_t* program);

// Ocellix no longer starts at sign-in, the way Settings turns a program off: the Run value stays
// and the switch says off, with the time given. Without a Run value, or with the switch off
// already, nothing is written. False when the switch cannot be written.
bool TurnAutostartOff(FILETIME now);
