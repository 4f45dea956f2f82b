// The entry point's work: a start as always without arguments; with a command, the command
// handed to the running copy, or Ocellix started to carry it out.
#pragma once

#include "app/CommandLine.h"

#include <windows.h>

// The process's exit code.
int RunProgram(HINSTANCE instance, int showCommand);

// The command of this process's command line, its /add target made whole: a path becomes the
// full path of a file or folder that exists. What cannot be made so is a usage error.
ProgramCommand ReadCommandLine();

// The usage text, after the problem of a usage error, in a message box and on the console the
// program was started from, if any. Returns the exit code: kExitUsage for an error.
int ShowUsage(const ProgramCommand& command);

// The running copy's answer as an exit code; -1 when no copy runs.
int SendToRunningCopy(const ProgramCommand& command);
