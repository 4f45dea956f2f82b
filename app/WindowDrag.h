// Moving the window: a press that travels farther than the system's drag distance before the
// hold completes drags the window along the bottom of the monitor under the pointer.
#pragma once

#include "app/Render.h"

#include <windows.h>

// Whether the press at the client point has become a drag: the gesture ended on a move, left
// queued for the window, that took the pointer with the button down past the drag distance.
bool PressBecameDrag(HWND window, POINT down);

// Where a window dragged by its strip point grabX stands when the pointer is at a point of the
// screen: on the monitor under the pointer, with that point of it under the pointer's x, at the
// monitor's density.
WindowStand DragStand(const MonitorList& monitors, POINT pointer, int grabX, SIZE strip);

// Drags the window from the client point until the button is released, then keeps its place in
// "position" and "Monitor". Esc, a lost capture or a cancelled mode put it back where it was.
// Nothing runs and no menu opens. True when the window was moved and its place saved.
bool DragWindow(HWND window, POINT down);
