// The main window's timers: the periodic tick that keeps the window on top (or out of the way of
// a fullscreen program) and counts towards the idle step, the idle animation's steps and the
// pointer watch.
#pragma once

#include <windows.h>

constexpr UINT_PTR kMainTimerId = 98;
constexpr UINT kMainTimerPeriod = 2000;

// WM_TIMER, by the timer's id.
void OnTimer(HWND window, WPARAM id);
// The idle count is up: serves a reload request from the registry if there is one; otherwise
// the idle animation plays, unless the eyes follow the pointer.
void IdleStep();
