#include "store/ListFile.h"

#include "base/Handles.h"
#include "base/ShellHelpers.h"
#include "store/Settings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <set>

namespace {

constexpr wchar_t kHeader[] = L"Ocellix list of blinkets, format 1";
constexpr wchar_t kHexMark[] = L"hex:";
constexpr wchar_t kRelativeMark[] = L".\\";
constexpr size_t kMaxKeys = 10000;
constexpr size_t kMaxValues = 4096;
// Registry value names hold at most 16,383 characters.
constexpr size_t kMaxNameChars = 16383;

struct TypeName {
    DWORD type;
    const wchar_t* name;
};

const TypeName kTypeNames[] = {
    {REG_NONE, L"REG_NONE"},
    {REG_SZ, L"REG_SZ"},
    {REG_EXPAND_SZ, L"REG_EXPAND_SZ"},
    {REG_BINARY, L"REG_BINARY"},
    {REG_DWORD, L"REG_DWORD"},
    {REG_DWORD_BIG_ENDIAN, L"REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, L"REG_LINK"},
    {REG_MULTI_SZ, L"REG_MULTI_SZ"},
    {REG_RESOURCE_LIST, L"REG_RESOURCE_LIST"},
    {REG_FULL_RESOURCE_DESCRIPTOR, L"REG_FULL_RESOURCE_DESCRIPTOR"},
    {REG_RESOURCE_REQUIREMENTS_LIST, L"REG_RESOURCE_REQUIREMENTS_LIST"},
    {REG_QWORD, L"REG_QWORD"},
};

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return _wcsnicmp(text.c_str(), prefix, wcslen(prefix)) == 0;
}

bool IsNumber(const std::wstring& name) {
    return _wcsicmp(name.c_str(), kActionCmdValue) == 0 ||
           _wcsicmp(name.c_str(), kBlinketPosValue) == 0 ||
           _wcsicmp(name.c_str(), kImagePosValue) == 0;
}

// Code units of the named text the program keeps, terminator included; no limit for others.
size_t LimitOf(const std::wstring& name) {
    if (_wcsicmp(name.c_str(), kImageFileValue) == 0) {
        return kImageFileChars;
    }
    return _wcsicmp(name.c_str(), kActionStringValue) == 0 ? kActionStringChars : SIZE_MAX;
}

// ImageFile and ActionString: the texts that are paths.
bool IsPath(const std::wstring& name) {
    return LimitOf(name) != SIZE_MAX;
}

std::wstring Trim(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    return first == std::wstring::npos
               ? L""
               : text.substr(first, text.find_last_not_of(L" \t") + 1 - first);
}

// Text that a line shows as it is: no control character, whole characters only (no lone
// surrogate), nothing at either end that an editor might drop, and not taken for hex.
bool IsReadable(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x20 || c == 0x7F || IS_LOW_SURROGATE(c)) {
            return false;
        }
        if (IS_HIGH_SURROGATE(c)) {
            if (i + 1 == text.size() || !IS_LOW_SURROGATE(text[i + 1])) {
                return false;
            }
            ++i;
        }
    }
    return Trim(text) == text && !StartsWith(text, kHexMark);
}

std::vector<BYTE> BytesOf(const std::wstring& text, bool terminated) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return {first, first + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)};
}

std::wstring Hex(const std::vector<BYTE>& bytes, bool spaced) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (BYTE byte : bytes) {
        if (spaced && !hex.empty()) {
            hex += L' ';
        }
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::string Utf8(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    return utf8;
}

std::wstring NameForm(const std::wstring& name) {
    if (name.empty()) {
        return L"@";
    }
    const bool plain = IsReadable(name) && name.find(L'=') == std::wstring::npos && name != L"@" &&
                       name[0] != L'[' && name[0] != L';';
    return plain ? name : kHexMark + Hex(BytesOf(name, false), false);
}

// The readable form of a value, when it has one that reads back as exactly its bytes. The
// paths of a blinket the program holds are written relative to its folder when inside it.
bool ReadableForm(const RegKey::RawValue& value, bool held, const std::wstring& folder,
                  std::wstring& form) {
    DWORD number = 0;
    const bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ;
    if (IsPath(value.name) ? !text : IsNumber(value.name) && !DwordOf(value, &number)) {
        return false;
    }
    if (DwordOf(value, &number)) {
        form = std::to_wstring(number);
        return true;
    }
    if (value.type == REG_QWORD && value.data.size() == sizeof(ULONGLONG)) {
        ULONGLONG wide = 0;
        std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE*>(&wide));
        form = std::to_wstring(wide);
        return true;
    }
    std::wstring stored;
    if (!text || !TextOf(value, LimitOf(value.name), stored) ||
        BytesOf(stored, true) != value.data || !IsReadable(stored)) {
        return false;
    }
    if (IsPath(value.name) && value.type == REG_SZ) {
        // A text that starts as a relative path does is one only when this program made it so.
        if (StartsWith(stored, kRelativeMark)) {
            return false;
        }
        if (held && !folder.empty() && stored.size() > folder.size() &&
            StartsWith(stored, folder.c_str())) {
            stored = kRelativeMark + stored.substr(folder.size());
        }
    }
    form = stored;
    return true;
}

std::wstring TypeForm(DWORD type) {
    for (const TypeName& known : kTypeNames) {
        if (known.type == type) {
            return known.name;
        }
    }
    return std::to_wstring(type);
}

// ----------------------------------------------------------------------------- reading

int LineAt(const std::string& bytes, size_t offset) {
    return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

bool DecodeLine(const std::string& raw, std::wstring& line, std::wstring& problem) {
    line.clear();
    if (raw.find('\0') != std::string::npos) {
        problem = L"This is not text: it holds NUL bytes (UTF-16? Save the file as UTF-8).";
        return false;
    }
    if (raw.empty()) {
        return true;
    }
    const int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, raw.data(),
                                          static_cast<int>(raw.size()), nullptr, 0);
    line.resize(static_cast<size_t>(std::max(chars, 0)));
    if (chars <= 0 ||
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, raw.data(), static_cast<int>(raw.size()),
                            line.data(), chars) != chars) {
        problem = L"This is not UTF-8 text.";
        return false;
    }
    for (wchar_t c : line) {
        if ((c < 0x20 && c != L'\t') || c == 0x7F) {
            problem = L"A control character: write such a value as hex: and its bytes.";
            return false;
        }
    }
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    c = static_cast<wchar_t>(towupper(c));
    return c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
}

// Pairs of hex digits, any of them separated by spaces or tabs.
bool ParseHex(const std::wstring& text, std::vector<BYTE>& bytes) {
    bytes.clear();
    int high = -1;
    for (wchar_t c : text) {
        if (c == L' ' || c == L'\t') {
            if (high >= 0) {
                return false;
            }
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<BYTE>(high << 4 | digit));
            high = -1;
        }
    }
    return high < 0;
}

bool ParseName(const std::wstring& form, std::wstring& name, std::wstring& problem) {
    if (form.empty()) {
        problem = L"A value without a name (@ stands for the default value).";
        return false;
    }
    if (form == L"@") {
        name.clear();
        return true;
    }
    if (!StartsWith(form, kHexMark)) {
        name = form;
    } else {
        std::vector<BYTE> bytes;
        if (!ParseHex(form.substr(wcslen(kHexMark)), bytes) || bytes.size() % 2 != 0) {
            problem = L"A name in hex: needs two bytes for each character.";
            return false;
        }
        name.assign(bytes.size() / 2, L'\0');
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<BYTE*>(name.data()));
    }
    if (name.size() > kMaxNameChars) {
        problem = L"A value name longer than the registry's 16,383 characters.";
        return false;
    }
    return true;
}

bool ParseType(const std::wstring& form, DWORD* type) {
    for (const TypeName& known : kTypeNames) {
        if (_wcsicmp(form.c_str(), known.name) == 0) {
            *type = known.type;
            return true;
        }
    }
    if (form.empty() || form.size() > 10 ||
        form.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return false;
    }
    const unsigned long long number = wcstoull(form.c_str(), nullptr, 10);
    *type = static_cast<DWORD>(number);
    return number <= ULONG_MAX;
}

// A decimal number from min to max; a negative REG_DWORD is stored as its two's complement.
bool ParseNumber(const std::wstring& text, long long min, unsigned long long max,
                 unsigned long long* number) {
    const bool negative = !text.empty() && text[0] == L'-';
    const std::wstring digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 20 ||
        digits.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return false;
    }
    errno = 0;
    const unsigned long long magnitude = wcstoull(digits.c_str(), nullptr, 10);
    if (errno == ERANGE) {
        return false;
    }
    if (negative) {
        if (min >= 0 || magnitude > static_cast<unsigned long long>(-min)) {
            return false;
        }
        *number = static_cast<unsigned long long>(-static_cast<long long>(magnitude));
        return true;
    }
    *number = magnitude;
    return magnitude <= max;
}

// The data of a value written in its readable form.
bool ParseReadable(const std::wstring& data, const wchar_t* folder, RegKey::RawValue& value,
                   std::wstring& problem) {
    const bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ;
    if (IsPath(value.name) && !text) {
        problem = value.name + L" is text: REG_SZ or REG_EXPAND_SZ (or hex: and its bytes).";
        return false;
    }
    if (IsNumber(value.name) && value.type != REG_DWORD) {
        problem = value.name + L" is a number: REG_DWORD (or hex: and its bytes).";
        return false;
    }
    unsigned long long number = 0;
    switch (value.type) {
    case REG_DWORD:
        if (!ParseNumber(data, INT_MIN, ULONG_MAX, &number)) {
            problem = L"Not a REG_DWORD number: " + data;
            return false;
        }
        value.data.resize(sizeof(DWORD));
        *reinterpret_cast<DWORD*>(value.data.data()) = static_cast<DWORD>(number);
        return true;
    case REG_QWORD:
        if (!ParseNumber(data, 0, ULLONG_MAX, &number)) {
            problem = L"Not a REG_QWORD number: " + data;
            return false;
        }
        value.data.resize(sizeof(ULONGLONG));
        std::copy_n(reinterpret_cast<const BYTE*>(&number), sizeof(number), value.data.begin());
        return true;
    case REG_SZ:
    case REG_EXPAND_SZ: break;
    default:
        problem = TypeForm(value.type) + L" data is written as hex: and its bytes.";
        return false;
    }
    if (data.find(L'\t') != std::wstring::npos) {
        problem = L"A tab inside text: write such a value as hex: and its bytes.";
        return false;
    }
    std::wstring stored = data;
    if (IsPath(value.name) && value.type == REG_SZ && StartsWith(stored, kRelativeMark)) {
        if (!folder || !folder[0]) {
            problem = L"A path relative to the program's folder, which is not known here.";
            return false;
        }
        stored = folder + stored.substr(wcslen(kRelativeMark));
    }
    if (stored.size() >= LimitOf(value.name)) {
        problem = value.name + L" is " + std::to_wstring(stored.size()) +
                  L" characters long; at most " + std::to_wstring(LimitOf(value.name) - 1) +
                  L" fit.";
        return false;
    }
    value.data = BytesOf(stored, true);
    return true;
}

// "name = TYPE data".
bool ParseValue(const std::wstring& line, const wchar_t* folder, RegKey::RawValue& value,
                std::wstring& problem) {
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) {
        problem = L"Not a value: name = TYPE data, a [Blinket] or [End] line, or a ; comment.";
        return false;
    }
    if (!ParseName(Trim(line.substr(0, equals)), value.name, problem)) {
        return false;
    }
    const std::wstring rest = Trim(line.substr(equals + 1));
    const size_t space = rest.find_first_of(L" \t");
    const std::wstring type = rest.substr(0, space);
    const std::wstring data = space == std::wstring::npos ? L"" : Trim(rest.substr(space));
    if (!ParseType(type, &value.type)) {
        problem = L"Not a registry type: \"" + type + L"\".";
        return false;
    }
    if (StartsWith(data, kHexMark)) {
        if (!ParseHex(data.substr(wcslen(kHexMark)), value.data)) {
            problem = L"hex: takes pairs of the digits 0-9 and A-F.";
            return false;
        }
        return true;
    }
    return ParseReadable(data, folder, value, problem);
}

// A section line: true for a new key; ended set for [End].
bool ParseSection(const std::wstring& line, bool* ended, std::wstring& problem) {
    const std::wstring name = line.back() == L']' ? Trim(line.substr(1, line.size() - 2)) : L"";
    int number = 0;
    if (_wcsicmp(name.c_str(), L"End") == 0) {
        *ended = true;
        return true;
    }
    if (_wcsicmp(name.c_str(), L"Blinket") == 0 || BlinketKeyNumber(name.c_str(), &number)) {
        return true;
    }
    problem = L"Not a section: [Blinket_NN] or [End].";
    return false;
}

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    LocalMemory<wchar_t*> owned(text);
    const std::wstring message = text ? Trim(text) : L"";
    return message.empty() ? L"error " + std::to_wstring(error) : message;
}

}  // namespace

std::string FormatListFile(const StoredList& list, const wchar_t* folder) {
    const std::wstring base = folder ? folder : L"";
    std::wstring text =
        std::wstring(kHeader) +
        L"\r\n; Written by ocellix.exe /export, read by ocellix.exe /import."
        L"\r\n; .\\ at the start of a path stands for the folder of ocellix.exe.\r\n";
    for (size_t i = 0; i < list.size(); ++i) {
        const bool held = BlinketOf(list[i]) != nullptr;
        text += L"\r\n[" + BlinketKeyName(static_cast<int>(i)) + L"]\r\n";
        if (!held) {
            text += L"; kept as it is: Ocellix cannot show it\r\n";
        }
        for (const RegKey::RawValue& value : list[i].values) {
            std::wstring form;
            text += NameForm(value.name) + L" = " + TypeForm(value.type);
            if (!ReadableForm(value, held, base, form)) {
                form = kHexMark + (value.data.empty() ? L"" : L" " + Hex(value.data, true));
            }
            text += (form.empty() ? L"" : L" " + form) + L"\r\n";
        }
    }
    return Utf8(text + L"\r\n[End]\r\n");
}

bool ParseListFile(const std::string& bytes, const wchar_t* folder, StoredList& list,
                   ListFault& fault) {
    list.clear();
    const auto refuse = [&fault](int line, std::wstring problem) {
        fault = {line, std::move(problem)};
        return false;
    };
    if (bytes.size() > kListFileMaxBytes) {
        return refuse(LineAt(bytes, kListFileMaxBytes), L"The file is larger than the 8 MB a "
                                                        L"list may take.");
    }
    StoredList parsed;
    std::set<std::wstring> names;
    bool headed = false;
    bool ended = false;
    int number = 0;
    // A byte order mark is what Notepad writes first.
    for (size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; start < bytes.size();) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string raw = bytes.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        std::wstring line;
        std::wstring problem;
        if (!DecodeLine(raw, line, problem)) {
            return refuse(number, problem);
        }
        line = Trim(line);
        if (!headed) {
            if (line != kHeader) {
                return refuse(number, L"Not a list of Ocellix: its first line is not \"" +
                                          std::wstring(kHeader) + L"\".");
            }
            headed = true;
            continue;
        }
        if (line.empty() || line[0] == L';') {
            continue;
        }
        if (ended) {
            return refuse(number, L"Only comments may follow [End].");
        }
        if (line[0] == L'[') {
            if (!ParseSection(line, &ended, problem)) {
                return refuse(number, problem);
            }
            if (!ended && parsed.size() == kMaxKeys) {
                return refuse(number, L"More than 10,000 blinkets.");
            }
            if (!ended) {
                parsed.emplace_back();
                names.clear();
            }
            continue;
        }
        RegKey::RawValue value;
        if (parsed.empty()) {
            return refuse(number, L"A value before the first [Blinket_NN] line.");
        }
        if (!ParseValue(line, folder, value, problem)) {
            return refuse(number, problem);
        }
        if (!names.insert(FoldedCase(value.name)).second) {
            return refuse(number, L"A second value of the same name in one blinket.");
        }
        if (parsed.back().values.size() == kMaxValues) {
            return refuse(number, L"More than 4,096 values in one blinket.");
        }
        parsed.back().values.push_back(std::move(value));
    }
    if (!headed) {
        return refuse(1, L"The file is empty.");
    }
    if (!ended) {
        return refuse(number, L"The file ends before its last line, [End]: it may have been cut "
                              L"short.");
    }
    list = std::move(parsed);
    return true;
}

bool ImportListText(const wchar_t* maker, const wchar_t* program, const std::string& bytes,
                    const wchar_t* folder, ListFault& fault) {
    StoredList list;
    if (!ParseListFile(bytes, folder, list, fault)) {
        return false;
    }
    if (!ReplaceStoredList(maker, program, list)) {
        fault = {0, L"The registry did not take the list."};
        return false;
    }
    return true;
}

bool ReadListFile(const wchar_t* path, std::string& bytes, ListFault& fault) {
    bytes.clear();
    KernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        fault = {0, L"It cannot be opened: " + SystemMessage(GetLastError())};
        return false;
    }
    // One byte past the limit tells a file that is too large.
    LARGE_INTEGER size = {};
    const bool sized = GetFileSizeEx(file.get(), &size) && size.QuadPart >= 0 &&
                       static_cast<unsigned long long>(size.QuadPart) < kListFileMaxBytes;
    bytes.resize((sized ? static_cast<size_t>(size.QuadPart) : kListFileMaxBytes) + 1);
    size_t got = 0;
    while (got < kListFileMaxBytes + 1) {
        if (got == bytes.size()) {
            bytes.resize(kListFileMaxBytes + 1);
        }
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &read,
                      nullptr)) {
            fault = {0, L"It cannot be read: " + SystemMessage(GetLastError())};
            bytes.clear();
            return false;
        }
        if (read == 0) {
            break;
        }
        got += read;
    }
    bytes.resize(got);
    if (got > kListFileMaxBytes) {
        fault = {LineAt(bytes, kListFileMaxBytes), L"The file is larger than the 8 MB a list may "
                                                   L"take."};
        return false;
    }
    return true;
}

bool WriteListFile(const wchar_t* path, const std::string& text, std::wstring& problem) {
    const std::wstring part = std::wstring(path) + L".part";
    bool written = false;
    {
        KernelHandle file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        written =
            file &&
            WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
            done == text.size() && FlushFileBuffers(file.get());
    }
    if (written &&
        MoveFileExW(part.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    problem = SystemMessage(GetLastError());
    DeleteFileW(part.c_str());
    return false;
}

std::wstring RefusalText(const wchar_t* path, const ListFault& fault) {
    const std::wstring where = fault.line > 0 ? L", line " + std::to_wstring(fault.line) : L"";
    return L"Cannot import " + std::wstring(path) + where + L":\r\n" + fault.problem +
           L"\r\n\r\nNothing was changed.";
}
