// Reads a blinket's ".eye" file: two lines of four integers, the left and the right eye.
#pragma once

#include <windows.h>

#include <cstddef>

namespace EyeFileReader {

// Characters of a line that are used; the rest of a longer line is skipped.
constexpr int kLineChars = 255;

// The image path with ".eye" appended; false (and an empty path) when it does not fit.
bool EyeFilePath(const wchar_t* imageFile, wchar_t (&path)[MAX_PATH]);
// Both eye rectangles in window coordinates; false (and both empty) unless both are there and
// not empty.
bool Read(const wchar_t* path, int xOffset, RECT& leftEye, RECT& rightEye);
// Copies one line of the bytes into the buffer (at most limit characters, one byte each, no
// line end) and returns the number of bytes to the start of the next line. CR LF, a lone LF
// and a lone CR each end a line. The buffer holds limit + 1 characters.
size_t ReadLine(const unsigned char* bytes, size_t count, wchar_t* line, int limit);
// The rectangle of one line, its left and right moved by xOffset; false when there is none.
bool ParseRect(const wchar_t* line, int xOffset, RECT& rect);

}  // namespace EyeFileReader
