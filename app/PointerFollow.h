// Eyes that watch the pointer: whether it calls them, and every shown pair looking towards it.
#pragma once

#include <windows.h>

// Whether the point of the screen lies over the window or within three of its heights of it.
bool PointerIsNear(const RECT& window, POINT screenPoint);
// How far the point lies outside that reach, in pixels along the farther axis; 0 within it.
int DistanceToReach(const RECT& window, POINT screenPoint);
// Whether the eyes are to follow a point of the screen now: following is on, no dialog is up,
// the window shows and the point is near it.
bool PointerCallsEyes(HWND window, POINT screenPoint);
// Every shown blinket with eyes looks towards the point of the screen, or straight ahead without
// one; only pupils that move are drawn and shown again.
void LookTowards(HWND window, const POINT* screenPoint);
// Asks the system to tell the window of every movement of a mouse, wherever the pointer is
// (WM_INPUT), or to stop telling it. False when it cannot.
bool HearPointerMoves(HWND window, bool hear);
