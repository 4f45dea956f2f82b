// What start-up and a reload take from the registry and the program's folder: the settings, the
// list of blinkets, and the default blinket that stands in when there is none.
#pragma once

#include "model/Blinket.h"
#include "model/BlinketList.h"

#include <windows.h>

#include <memory>

// The blinket of a first run: eyesbig.gif of the Blinkets folder in the directory (ending with
// a backslash), showing Options; null when that image cannot be opened or its path not stored.
std::unique_ptr<Blinket> MakeDefaultBlinket(HINSTANCE resources, const wchar_t* directory);
// Appends the default blinket of the program's own folder to the list; false when it is missing.
bool AppendDefaultBlinket(BlinketList<Blinket>& list);
// Appends the default blinket as a stand-in, which is never saved; false when it is missing, or
// when a blinket of its picture is in the list already: that one could not be shown either.
bool AppendStandIn(BlinketList<Blinket>& list);
// Appends the stored list, or the default blinket when none is stored; false when the list is
// still empty, the default blinket being missing too.
bool LoadListOrDefault(BlinketList<Blinket>& list);
// Takes what start-up and a reload read from the settings key into the shell state.
void ApplyStoredSettings();
