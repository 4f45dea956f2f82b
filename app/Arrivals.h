// Files and web addresses arriving by a drop on the window or by /add. Each is read, and given a
// picture made from its icon, on a worker while the window goes on; the blinket then joins the
// list at once, or, when no picture can be had or the user asked to choose one, opens in Edit
// Item.
#pragma once

#include <windows.h>

// Whether an arrival is still under way: another drop or command is refused until it is placed.
bool ArrivalPending();

// Starts adding a blinket for the target before position `before` (at the end when there is
// none then). With choosePicture, Options opens with Edit Item on it, as before pictures were
// made. False when the target is not usable or another arrival is under way.
bool AddTarget(const wchar_t* target, int before, bool choosePicture);
