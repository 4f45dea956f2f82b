#include "support/TestSupport.h"

#include "platform/PocketShell.h"
#include "state/ShellState.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using Microsoft::WRL::ComPtr;

namespace testsupport {

// ---------------------------------------------------------------- handles, files, registry

namespace {

std::wstring FreshTempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    wchar_t name[MAX_PATH];
    StringCchPrintfW(name, MAX_PATH, L"%socx-%lu-%lu-%u\\", base, GetCurrentProcessId(),
                     GetTickCount(), ++counter);
    return name;
}

}  // namespace

RegistrySandbox::RegistrySandbox() {
    wchar_t name[96];
    StringCchPrintfW(name, 96, L"Software\\OcellixTestSandbox\\%lu-%lu", GetCurrentProcessId(),
                     GetTickCount());
    path_ = name;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                        nullptr) != ERROR_SUCCESS) {
        root_ = nullptr;
        return;
    }
    if (RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS) {
        RegCloseKey(root_);
        root_ = nullptr;
        return;
    }
    localData_ = FreshTempFolder();
    CreateDirectoryW(localData_.c_str(), nullptr);
    const std::wstring value = localData_.substr(0, localData_.size() - 1);
    RegSetKeyValueW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                    L"Local AppData", REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

RegistrySandbox::~RegistrySandbox() {
    if (!root_) {
        return;
    }
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OcellixTestSandbox");
    if (!localData_.empty()) {
        DeleteTree(localData_);
    }
}

TempDir::TempDir() : TempDir(FreshTempFolder()) {}

TempDir::TempDir(std::wstring folder) : path_(std::move(folder)) {
    if (path_.back() != L'\\') {
        path_ += L'\\';
    }
    DeleteTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
    DeleteTree(path_);
}

std::wstring TempDir::MakeDir(const std::wstring& relative) const {
    std::wstring full = path_;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos) {
            end = relative.size();
        }
        if (end > start) {
            full += relative.substr(start, end - start);
            CreateDirectoryW(full.c_str(), nullptr);
            full += L'\\';
        }
        start = end + 1;
    }
    return full;
}

std::wstring TempDir::WriteFile(const std::wstring& relative, const std::string& bytes) const {
    const size_t slash = relative.rfind(L'\\');
    const std::wstring full = slash == std::wstring::npos
                                  ? path_ + relative
                                  : MakeDir(relative.substr(0, slash)) + relative.substr(slash + 1);
    WriteBytes(full, bytes);
    return full;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           (bytes.empty() || ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                         &written, nullptr)) &&
           written == bytes.size();
}

void DeleteTree(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') {
        base += L'\\';
    }
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((base + L"*").c_str(), &data));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &data)) {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring full = base + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteTree(full);
        } else {
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(full.c_str());
        }
    }
    RemoveDirectoryW(base.c_str());
}

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return std::wstring(path) + L'\\';
}

namespace {

// Creates objects until creation fails, and frees them again.
template <class Create, class Destroy> int FreeCapacity(Create create, Destroy destroy) {
    std::vector<decltype(create())> made;
    made.reserve(70000);
    for (auto object = create(); object; object = create()) {
        made.push_back(object);
    }
    for (auto object : made) {
        destroy(object);
    }
    return static_cast<int>(made.size());
}

}  // namespace

int FreeGdiCapacity() {
    return FreeCapacity([] { return CreateSolidBrush(RGB(1, 2, 3)); },
                        [](HBRUSH brush) { DeleteObject(brush); });
}

int FreeUserCapacity() {
    return FreeCapacity(CreateMenu, DestroyMenu);
}

std::unique_ptr<Blinket> MakeBlinket(const std::wstring& image, int actionCmd,
                                     const wchar_t* actionString, int imagePos) {
    auto blinket = std::make_unique<Blinket>();
    EXPECT_TRUE(blinket->SetImageFile(image.c_str())) << "a path too long for the record";
    blinket->actionCmd = actionCmd;
    StringCchCopyW(blinket->actionString, MAX_PATH, actionString);
    blinket->imagePos = imagePos;
    return blinket;
}

Blinket* AddBlinket(const std::wstring& image, int actionCmd, const wchar_t* actionString,
                    int imagePos) {
    blinkets.Append(MakeBlinket(image, actionCmd, actionString, imagePos));
    return blinkets.At(blinkets.Count() - 1);
}

// ---------------------------------------------------------------- pictures and pixels

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string MakeBmp(int width, int height, const unsigned* pixels, bool alpha) {
    const DWORD imageBytes = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    // A BITMAPINFOHEADER is the start of a BITMAPV5HEADER.
    BITMAPV5HEADER info = {};
    info.bV5Size = alpha ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
    info.bV5Width = width;
    info.bV5Height = height;
    info.bV5Planes = 1;
    info.bV5BitCount = 32;
    info.bV5Compression = alpha ? BI_BITFIELDS : BI_RGB;
    info.bV5SizeImage = imageBytes;
    if (alpha) {
        info.bV5RedMask = 0x00FF0000;
        info.bV5GreenMask = 0x0000FF00;
        info.bV5BlueMask = 0x000000FF;
        info.bV5AlphaMask = 0xFF000000;
        info.bV5CSType = 0x73524742;  // LCS_sRGB: the header spells it as a multi-character literal
    }
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + info.bV5Size;
    file.bfSize = file.bfOffBits + imageBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), info.bV5Size);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const unsigned pixel = pixels[y * width + x];
            const char bgra[4] = {static_cast<char>(pixel & 0xFF),
                                  static_cast<char>((pixel >> 8) & 0xFF),
                                  static_cast<char>((pixel >> 16) & 0xFF),
                                  static_cast<char>(alpha ? pixel >> 24 : 0)};
            bytes.append(bgra, 4);
        }
    }
    return bytes;
}

std::string SolidBmp(int width, int height, unsigned rgb) {
    const std::vector<unsigned> pixels(static_cast<size_t>(width) * height, rgb);
    return MakeBmp(width, height, pixels.data());
}

std::string MakeIco(const std::vector<IconImage>& images) {
    auto word = [](std::string& out, unsigned value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    };
    std::string bytes;
    word(bytes, 0);
    word(bytes, 1);
    word(bytes, static_cast<unsigned>(images.size()));
    size_t offset = 6 + 16 * images.size();
    for (const IconImage& image : images) {
        bytes += static_cast<char>(image.width >= 256 ? 0 : image.width);
        bytes += static_cast<char>(image.height >= 256 ? 0 : image.height);
        bytes += std::string(2, '\0');
        word(bytes, 1);
        word(bytes, 32);
        word(bytes, static_cast<unsigned>(image.data.size() & 0xFFFF));
        word(bytes, static_cast<unsigned>(image.data.size() >> 16));
        word(bytes, static_cast<unsigned>(offset & 0xFFFF));
        word(bytes, static_cast<unsigned>(offset >> 16));
        offset += image.data.size();
    }
    for (const IconImage& image : images) {
        bytes += image.data;
    }
    return bytes;
}

std::string IconDib(int width, int height, const unsigned* pixels) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = 2 * height;  // the colours, then the mask
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = height - 1; y >= 0; --y) {
        bytes.append(reinterpret_cast<const char*>(pixels + static_cast<size_t>(y) * width),
                     static_cast<size_t>(width) * 4);
    }
    bytes.append(static_cast<size_t>((width + 31) / 32 * 4) * height, '\0');
    return bytes;
}

std::vector<unsigned> DiscPixels(int side, unsigned rgb) {
    std::vector<unsigned> pixels(static_cast<size_t>(side) * side);
    const double centre = side / 2.0;
    const double radius = side * 0.45;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            const double cover = std::clamp(radius - d + 0.5, 0.0, 1.0);
            const auto alpha = static_cast<unsigned>(std::lround(cover * 255));
            pixels[static_cast<size_t>(y) * side + x] = alpha ? (alpha << 24) | rgb : 0;
        }
    }
    return pixels;
}

bool MakeShortcut(const std::wstring& path, const std::wstring& target, const wchar_t* iconFile,
                  int iconIndex) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&link))) &&
           SUCCEEDED(link->SetPath(target.c_str())) &&
           (!iconFile || SUCCEEDED(link->SetIconLocation(iconFile, iconIndex))) &&
           SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Save(path.c_str(), TRUE));
}

std::vector<unsigned> StripPixels(int side, const std::vector<unsigned>& colours) {
    const int width = side * static_cast<int>(colours.size());
    std::vector<unsigned> pixels(static_cast<size_t>(width) * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool corner = x % side < side / 4 && y < side / 4;
            pixels[static_cast<size_t>(y) * width + x] = corner ? kKeyRgb : colours[x / side];
        }
    }
    return pixels;
}

std::string StripBmp(int side, const std::vector<unsigned>& colours) {
    return MakeBmp(side * static_cast<int>(colours.size()), side,
                   StripPixels(side, colours).data());
}

namespace {

void AppendWord(std::string& bytes, unsigned value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

}  // namespace

std::string MakeGif(int width, int height, const unsigned char* indices, const unsigned* palette,
                    int paletteSize, int transparentIndex) {
    std::string bytes = "GIF89a";
    AppendWord(bytes, width);
    AppendWord(bytes, height);
    bytes += '\xF7';  // a global colour table of 256 entries, 8 bits per primary
    bytes += '\0';
    bytes += '\0';
    for (int i = 0; i < 256; ++i) {
        const unsigned colour = i < paletteSize ? palette[i] : 0;
        bytes += static_cast<char>((colour >> 16) & 0xFF);
        bytes += static_cast<char>((colour >> 8) & 0xFF);
        bytes += static_cast<char>(colour & 0xFF);
    }
    if (transparentIndex >= 0) {
        bytes += std::string("\x21\xF9\x04\x01\0\0", 6);
        bytes += static_cast<char>(transparentIndex);
        bytes += '\0';
    }
    bytes += '\x2C';
    AppendWord(bytes, 0);
    AppendWord(bytes, 0);
    AppendWord(bytes, width);
    AppendWord(bytes, height);
    bytes += '\0';
    // 9-bit codes with a clear code before every two pixels: the code table never grows, so
    // the data needs no real compression.
    constexpr unsigned kClear = 256;
    constexpr unsigned kEnd = 257;
    std::string data;
    unsigned bits = 0;
    int count = 0;
    auto emit = [&](unsigned code) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            data += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    const int pixels = width * height;
    for (int i = 0; i < pixels; ++i) {
        if (i % 2 == 0) {
            emit(kClear);
        }
        emit(indices[i]);
    }
    emit(kEnd);
    if (count > 0) {
        data += static_cast<char>(bits & 0xFF);
    }
    bytes += '\x08';
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t length = std::min<size_t>(255, data.size() - at);
        bytes += static_cast<char>(length);
        bytes += data.substr(at, length);
    }
    bytes += '\0';
    bytes += '\x3B';
    return bytes;
}

std::string MakePng(int width, int height, const unsigned* pixels) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string bytes;
    {
        ComPtr<IWICImagingFactory> factory;
        ComPtr<IStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        const UINT stride = static_cast<UINT>(width) * 4;
        HGLOBAL memory = nullptr;
        STATSTG status = {};
        const bool written =
            SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&factory))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
            SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
            SUCCEEDED(frame->SetPixelFormat(&format)) &&
            IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
            SUCCEEDED(frame->WritePixels(height, stride, stride * height,
                                         reinterpret_cast<BYTE*>(const_cast<unsigned*>(pixels)))) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
            SUCCEEDED(GetHGlobalFromStream(stream.Get(), &memory)) &&
            SUCCEEDED(stream->Stat(&status, STATFLAG_NONAME));
        if (const char* data = written ? static_cast<const char*>(GlobalLock(memory)) : nullptr) {
            bytes.assign(data, static_cast<size_t>(status.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return bytes;
}

HBITMAP MakeDib(int width, int height, const std::vector<COLORREF>& colours) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const size_t count = std::min(colours.size(), static_cast<size_t>(width) * height);
    for (size_t i = 0; bitmap && i < count; ++i) {
        const COLORREF c = colours[i];
        static_cast<DWORD*>(bits)[i] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    }
    return bitmap;
}

Pixels ReadPixels(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) {
        return pixels;
    }
    MemoryDC dc(nullptr);
    SelectedObject selected(dc.get(), bitmap);
    if (GetCurrentObject(dc.get(), OBJ_BITMAP) != bitmap) {
        return pixels;
    }
    pixels.width = info.bmWidth;
    pixels.height = std::abs(info.bmHeight);
    pixels.colours.reserve(static_cast<size_t>(pixels.width) * pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            pixels.colours.push_back(GetPixel(dc.get(), x, y));
        }
    }
    return pixels;
}

Canvas::Canvas(int width, int height, const std::vector<COLORREF>& colours)
    : bitmap_(MakeDib(width, height, colours)) {}

Canvas::Canvas(int width, int height, COLORREF fill)
    : Canvas(width, height, std::vector<COLORREF>(static_cast<size_t>(width) * height, fill)) {}

// ---------------------------------------------------------------- windows and modal loops

std::wstring ControlText(HWND dialog, int id) {
    // Action strings may be web addresses of 2,083 characters.
    std::vector<wchar_t> text(4096);
    GetDlgItemTextW(dialog, id, text.data(), static_cast<int>(text.size()));
    return text.data();
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

namespace {

INT_PTR CALLBACK BareDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace

HWND CreateBareDialog(int templateId) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), nullptr,
                              BareDialogProc, 0);
}

void PressDone(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, kDoneNotification), 0);
}

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectRow(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row != -1) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }
}

namespace {

ModalDriver* activeDriver = nullptr;
constexpr UINT kTickMilliseconds = 10;
constexpr DWORD kStepTimeoutMilliseconds = 10000;
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";

struct WindowQuery {
    const wchar_t* className;
    const wchar_t* caption;  // null: any
    bool usable;             // only what a user could act on: visible and enabled
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    wchar_t text[256] = {};
    GetClassNameW(window, text, 256);
    if (lstrcmpW(text, query->className) != 0) {
        return TRUE;
    }
    GetWindowTextW(window, text, 256);
    if (query->caption && lstrcmpW(text, query->caption) != 0) {
        return TRUE;
    }
    if (!query->usable || (IsWindowVisible(window) && IsWindowEnabled(window))) {
        query->found.push_back(window);
    }
    return TRUE;
}

// The top-level windows of this thread of the class, and of the caption unless it is null.
std::vector<HWND> ThreadWindows(const wchar_t* className, const wchar_t* caption, bool usable) {
    WindowQuery query = {className, caption, usable, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::string Narrow(const std::wstring& text) {
    return {text.begin(), text.end()};
}

std::string Describe(const wchar_t* className, const std::wstring& caption) {
    return className == kMenuClass ? "popup menu" : "dialog \"" + Narrow(caption) + "\"";
}

std::string Describe(const wchar_t* className, HWND window) {
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    return Describe(className, caption);
}

}  // namespace

ModalDriver::ModalDriver() : waitingSince_(GetTickCount()) {
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, kTickMilliseconds, Tick);
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, timer_);
    activeDriver = nullptr;
    EXPECT_TRUE(steps_.empty()) << "steps left, the first for a "
                                << (steps_.empty() ? ""
                                                   : Describe(steps_.front().className,
                                                              steps_.front().caption));
}

ModalDriver& ModalDriver::OnDialog(const wchar_t* caption, Action action) {
    steps_.push_back({kDialogClass, caption, std::move(action)});
    return *this;
}

ModalDriver& ModalDriver::OnMenu(Action action) {
    steps_.push_back({kMenuClass, L"", std::move(action)});
    return *this;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeDriver) {
        activeDriver->Next();
    }
}

void ModalDriver::Next() {
    if (steps_.empty()) {
        FailUnexpected();
        return;
    }
    const Step& step = steps_.front();
    const std::vector<HWND> windows =
        ThreadWindows(step.className, step.caption.empty() ? nullptr : step.caption.c_str(), true);
    if (windows.empty()) {
        if (GetTickCount() - waitingSince_ >= kStepTimeoutMilliseconds) {
            GiveUp();
        }
        return;
    }
    // Taken off before it runs: the steps after it may run inside a modal loop it opens.
    const Action action = std::move(steps_.front().action);
    steps_.pop_front();
    acting_.push_back(windows.front());
    waitingSince_ = GetTickCount();
    action(windows.front());
    acting_.pop_back();
    waitingSince_ = GetTickCount();
}

void ModalDriver::FailUnexpected() {
    for (const wchar_t* className : {kDialogClass, kMenuClass}) {
        for (HWND window : ThreadWindows(className, nullptr, true)) {
            if (std::find(acting_.begin(), acting_.end(), window) != acting_.end()) {
                continue;
            }
            ADD_FAILURE() << "unexpected " << Describe(className, window);
            if (className == kMenuClass) {
                EndMenu();
            } else {
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
    }
}

void ModalDriver::GiveUp() {
    ADD_FAILURE() << "no " << Describe(steps_.front().className, steps_.front().caption)
                  << " came up";
    steps_.clear();
    EndMenu();
    for (HWND dialog : ThreadWindows(kDialogClass, nullptr, false)) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

}  // namespace testsupport
