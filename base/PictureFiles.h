// Picture files read only as far as their size, and pictures written as PNG files.
#pragma once

#include "base/Pixels.h"

#include <windows.h>

#include <string>
#include <vector>

// The size of the first picture of a GIF, PNG or BMP file's bytes, as the file's header declares
// it: what the image loader would give, without decoding a pixel. False for anything else.
bool PictureSizeOf(const std::string& bytes, int& width, int& height);
// The same for a file, reading no more than its header.
bool ReadPictureSize(const wchar_t* path, int& width, int& height);

// Writes opaque pixels (0x00RRGGBB, rows top first) as a PNG file, whole or not at all: it is
// written beside the path and moved over it only once complete, so that a reader never sees
// half a file. False when it cannot be written.
bool WritePngFile(const wchar_t* path, int width, int height, const std::vector<Pixel>& pixels);
