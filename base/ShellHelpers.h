// Small helpers on files and the shell.
#pragma once

#include <windows.h>

#include <string>

// Whether the file can be opened for reading (with no sharing allowed).
bool FileExists(const wchar_t* path);
// The file's first bytes, at most maxBytes of them; with whole, false when the file is longer.
// False when it cannot be opened or read.
bool ReadFileBytes(const wchar_t* path, size_t maxBytes, bool whole, std::string& bytes);
// Opens a document, web address or program through the shell; null or empty does nothing.
void ShellOpen(HINSTANCE instance, HWND owner, const wchar_t* file, const wchar_t* parameters);
// The directory of the module's file, ending with a backslash; empty when it cannot be read.
void GetModuleDirectory(HINSTANCE instance, wchar_t (&directory)[MAX_PATH]);
// The same for the running program's file: where the paths of a list file are counted from.
std::wstring ProgramFolder();
// The folder of the pictures made from programs' icons, in the user's own data folder
// (%LOCALAPPDATA%\Ocellix\Pictures\), ending with a backslash; with create, made when missing.
// False (and an empty folder) when it cannot be had.
bool UserPictureFolder(bool create, wchar_t (&folder)[MAX_PATH]);
// The long form of a path that holds an abbreviated (8.3) name; false for any other path, whose
// long form is itself, without asking the file system.
bool LongPathOf(const wchar_t* path, wchar_t (&longPath)[MAX_PATH]);
// A path or key name in lower case, for comparing as Windows compares them.
std::wstring FoldedCase(std::wstring text);
// Whether a folder listing entry is "." or "..".
bool IsDotEntry(const WIN32_FIND_DATAW& entry);
// Asks the shell for a full-screen dialog with a Done button, the input panel down and an empty
// menu bar, as every dialog of the program is.
void InitPocketDialog(HWND dialog);
