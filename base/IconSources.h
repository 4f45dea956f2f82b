// Where the shell takes the icon of a program, shortcut, Internet shortcut, document or web address
// from.
#pragma once

#include "base/IconFiles.h"

#include <vector>

// The places the target's icon may come from, the best first: a program or icon file itself; for
// a shortcut (.lnk) the icon it names, else its target's; for an Internet shortcut (.url) its
// IconFile, else the icon of its address's scheme; for a document the icon of its type, else the
// program that opens it; for a web address the icon of its scheme, else of the program that
// opens it. Nothing is fetched from the network. Empty when none is known. COM must be
// initialised on the calling thread.
std::vector<IconLocation> IconLocationsOf(const wchar_t* target);
