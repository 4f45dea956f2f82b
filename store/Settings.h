// The program's registry layout and the routines that load and save it. Everything lies under
// HKEY_CURRENT_USER\Software\<maker>\<program>: "position", "xTap", "yTap" and "reload", and the
// subkey Blinkets with one key Blinket_00, Blinket_01, ... per blinket. The file locator's last
// pick lies apart, in "Location" of \SOFTWARE\Tarnwick\Blinkets.
//
// Every routine does nothing (ReadReloadFlag answers false) when a name argument is null, and
// every write is silent.
#pragma once

#include "model/Blinket.h"
#include "model/BlinketList.h"
#include "store/StoredList.h"

#include <windows.h>

constexpr wchar_t kMakerName[] = L"Tarnwick";
constexpr wchar_t kProgramName[] = L"Ocellix";

// The values of a blinket's key.
constexpr wchar_t kImageFileValue[] = L"ImageFile";
constexpr wchar_t kActionStringValue[] = L"ActionString";
constexpr wchar_t kActionCmdValue[] = L"ActionCmd";
constexpr wchar_t kBlinketPosValue[] = L"BlinketPos";
constexpr wchar_t kImagePosValue[] = L"ImagePos";

// What start-up and a reload read from the settings key.
struct StoredSettings {
    // Screen x of the window's centre from "position", or half the screen width when that is
    // missing or off the screen; -1 (centre the window) when the settings key does not exist.
    int windowCentreX = -1;
    // "FollowPointer": the eyes follow the pointer unless it is the number 0.
    bool followPointer = true;
};

// The settings as they stand for a screen of the given width.
StoredSettings LoadSettings(const wchar_t* maker, const wchar_t* program, int screenWidth);

// The blinket a stored key holds; null when the key holds what the record cannot keep as it is:
// no image path, a value of another type, a text with a NUL inside or longer than the record's
// field. The image file need not be there: a blinket whose picture is missing for now is kept.
std::unique_ptr<Blinket> BlinketOf(const StoredKey& key);
// The key of a blinket: its five values, the texts in the type they were read in.
StoredKey KeyOf(const Blinket& blinket);

// Appends the stored blinkets to the list, in key order, once a save that was interrupted has
// been finished or discarded. A key the record cannot hold is passed over (BlinketOf).
void LoadBlinkets(const wchar_t* maker, const wchar_t* program, BlinketList<Blinket>& list);

// Stores the list, leaving out the stand-in and blinkets without an image path, followed by the
// keys the program cannot hold, each as it was; the keys are numbered without gaps. The stored
// list changes as a whole or not at all (ReplaceStoredList), and the one it replaces is kept as
// the previous list. False when the stored list could not be read or written whole.
bool SaveBlinkets(const wchar_t* maker, const wchar_t* program, const BlinketList<Blinket>& list);

// Records a tap, in client pixels, as "xTap" and "yTap" for other programs.
void SaveTapPoint(const wchar_t* maker, const wchar_t* program, POINT point);

// Whether another program asked for a rebuild by setting "reload" to 1.
bool ReadReloadFlag(const wchar_t* maker, const wchar_t* program);
void WriteReloadFlag(const wchar_t* maker, const wchar_t* program, bool flag);

// The file locator's last pick, or empty.
void ReadLocatorLocation(wchar_t (&location)[MAX_PATH]);
// Stores a pick as "Location". A path that is empty, the bare root (two backslashes) or too
// long to read back is not a usable pick: nothing is stored and the result is false.
bool SaveLocatorLocation(const wchar_t* path);
