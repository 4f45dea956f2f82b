// What the running copy does with a command, whether it came from another process or from its
// own command line, and with files dropped on its window.
#pragma once

#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

// Reload, Options, About, Exit, Add, Import, Restore and Focus; the other kinds do nothing. False when
// the command was refused: an imported list with a fault, or no previous list to restore.
bool CarryOutCommand(HWND window, const ProgramCommand& command);

// WM_COPYDATA, from a process of any kind. Replies kReplyIgnored to what is not a well-formed
// command; kReplyBusy while the shell is busy, bringing the dialog that is up to the front;
// kReplyRefused for a command refused; and otherwise kReplyDone, before a dialog the command
// opens, so that the sender does not wait for the user to close it.
LRESULT OnCommandData(HWND window, const COPYDATASTRUCT* data);

// WM_DROPFILES: the first file becomes a new blinket before the one under the drop point, or at
// the end, with its picture at once; with Shift held, in Edit Item for the user to choose one.
// A list file (.ocellix) replaces the list once the user has said yes. Ignored while the shell
// is busy or an earlier arrival is under way. The drop is released in every case.
void OnDropFiles(HWND window, HDROP drop);
