// Icons read from the files that hold them: programs and libraries (their icon resources) and
// icon files, always the largest picture the icon offers.
#pragma once

#include "base/IconPixels.h"

#include <windows.h>

// Where the shell takes an icon from: a file and an index, the n-th icon of the file for n >= 0,
// the icon whose resource id is -n for a negative one.
struct IconLocation {
    wchar_t file[MAX_PATH] = {};
    int index = 0;
};

// Pictures wider than this are not icons but damage: they are not read.
constexpr int kMaxIconSide = 1024;

// The icon's largest picture (of equal sizes the one of the most colours) with its transparency.
// False when the file is neither a program nor an icon file, has no such icon, or the picture
// cannot be read.
bool ReadLargestIcon(const IconLocation& location, AlphaImage& image);

// The width and height of an icon picture as its own data declares them (a PNG or a DIB with its
// mask below), and whether the data holds that many pixels; false for anything else.
bool IconPictureSize(const BYTE* data, size_t size, int& width, int& height);
