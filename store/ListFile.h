// The list of blinkets as a text file of the program's own, written by /export and read by
// /import: UTF-8, a header line, one section per key with its values under their registry names
// and types, and a closing [End] line. What the program holds reads as text or a number; anything
// else (the keys it cannot hold) goes as the hex of its exact bytes. The README describes it.
#pragma once

#include "store/StoredList.h"

#include <string>

// A list file of more bytes is refused.
constexpr size_t kListFileMaxBytes = 8 * 1024 * 1024;
// The extension that marks a dropped file as a list to import.
constexpr wchar_t kListFileExtension[] = L".ocellix";

// What is wrong with a list file, and the line (from 1) where it shows; 0 when no line is to
// blame (the file cannot be opened).
struct ListFault {
    int line = 0;
    std::wstring problem;
};

// The file's text. Plain paths of ImageFile and ActionString inside the folder (the program's,
// ending with a backslash; null or empty for none) are written relative to it, as .\<rest>.
std::string FormatListFile(const StoredList& list, const wchar_t* folder);
// The list that a file's bytes hold, its relative paths made full with the folder. False, with
// the fault and an empty list, when anything of it is wrong.
bool ParseListFile(const std::string& bytes, const wchar_t* folder, StoredList& list,
                   ListFault& fault);

// Replaces the stored list by the one the bytes hold, keeping the replaced one as the previous
// list (ReplaceStoredList). False, with the fault, when the bytes have one or the registry does
// not take the list; nothing changes then.
bool ImportListText(const wchar_t* maker, const wchar_t* program, const std::string& bytes,
                    const wchar_t* folder, ListFault& fault);

// The file's bytes; false, with the fault, when it cannot be read or is larger than
// kListFileMaxBytes.
bool ReadListFile(const wchar_t* path, std::string& bytes, ListFault& fault);
// Writes the text in place of the file by way of a file beside it, so that a failed write leaves
// the old file; false with the system's reason.
bool WriteListFile(const wchar_t* path, const std::string& text, std::wstring& problem);

// The message that refuses a file for its fault, naming the file and the line.
std::wstring RefusalText(const wchar_t* path, const ListFault& fault);
