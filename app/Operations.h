// The operations of the running program that the window's handlers and commands share: the
// menu, the dialogs, reloading, laying the window out, and whether the user is busy with it.
// Nothing here calls a handler back.
#pragma once

#include "app/Render.h"
#include "model/Blinket.h"

#include <windows.h>

#include <memory>

// Puts the window above all others at the strip's size, without moving or activating it; not
// while the popup menu is up, which it would cover. While a fullscreen program covers its
// monitor it stays out of the topmost band instead, below that program's window.
void KeepOnTop(HWND window);
// Looks whether a fullscreen program covers the window's monitor now. When that changes, the
// window steps out of the topmost band or back into it, never activated, and the eyes rest or
// watch again.
void CheckCover(HWND window);
// Shows the popup menu (Options, About, Exit) at a client point and carries out the choice.
void ShowPopupMenu(HWND window, POINT point);
// Runs the blinket at the list index as a tap on it does: its action, or the Options dialog.
// False when it ran Options, after which the list may no longer be what the caller saw.
bool PressBlinket(int index);
// Runs the Options dialog over the main window, saves the list and lays the window out again.
// An arriving blinket (a drop or /add) opens in Edit Item at once and joins the list before
// position `before` once the user has chosen its picture.
void RunOptions(std::unique_ptr<Blinket> arriving = nullptr, int before = 0);
// Puts the blinket into the list before position `before` (at the end when there is none), saves
// the list and shows it: a blinket that arrives with its picture needs no dialog.
void AddBlinketAt(std::unique_ptr<Blinket> blinket, int before);
// The About dialog over the window; the timer's work waits while it is up.
void RunAbout(HWND owner);
// Whether a dialog, the menu or a press on the window has the user's attention: a drop or a
// command from outside is then refused.
bool ShellBusy();

// Lays the list out on the stand and gives the window's top-left corner. When nothing of the
// list can be shown (every blinket deleted, or every picture missing), the default blinket joins
// it, once, and stands in: the window would otherwise shrink to nothing, and with it the only way
// to the menu. It is never saved, and leaves the list when Options closes, unless the user has
// made it theirs in Edit Item.
void LayoutListWithStandIn(const WindowStand& stand, int& x, int& y);
// Lays the blinkets out again on the chosen stand, and moves, sizes and shapes the main window to
// the result; the labels, the keyboard's blinket and screen readers follow.
void RepositionWindow();
// The same on the stand given.
void RepositionWindowOn(const WindowStand& stand);
// Moves the window to the stand; lays it out again only when the stand's monitor, or its
// density, is not the one of the last layout.
void MoveWindowTo(const WindowStand& stand);

// What a reload reads again besides the settings.
enum class ReloadScope { Settings, SettingsAndList };
// Reads the settings again (with the list of blinkets, when asked), then rebuilds the window at
// once. A stored list that is empty brings the default blinket, as at start-up; when even that
// is missing, the window keeps the blinkets it shows.
void Reload(ReloadScope scope);
