#include "support/TestSupport.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <algorithm>
#include <vector>

namespace testsupport {

RegistrySandbox::RegistrySandbox() {
    wchar_t name[96];
    wsprintfW(name, L"Software\\OcellixTestSandbox\\%lu-%lu", GetCurrentProcessId(),
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
    }
}

RegistrySandbox::~RegistrySandbox() {
    if (!root_) {
        return;
    }
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OcellixTestSandbox");
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    wchar_t name[MAX_PATH];
    wsprintfW(name, L"%socx-%lu-%lu-%u\\", base, GetCurrentProcessId(), GetTickCount(),
              ++counter);
    path_ = name;
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { DeleteTree(path_); }

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
    size_t slash = relative.rfind(L'\\');
    std::wstring folder = slash == std::wstring::npos ? path_ : MakeDir(relative.substr(0, slash));
    std::wstring full = folder + (slash == std::wstring::npos ? relative : relative.substr(slash + 1));
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (!bytes.empty()) {
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        CloseHandle(file);
    }
    return full;
}

void DeleteTree(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') {
        base += L'\\';
    }
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring full = base + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(base.c_str());
}

int FreeGdiCapacity() {
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    for (;;) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) {
            break;
        }
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes) {
        DeleteObject(brush);
    }
    return static_cast<int>(brushes.size());
}

int FreeUserCapacity() {
    std::vector<HMENU> menus;
    menus.reserve(70000);
    for (;;) {
        HMENU menu = CreateMenu();
        if (!menu) {
            break;
        }
        menus.push_back(menu);
    }
    for (HMENU menu : menus) {
        DestroyMenu(menu);
    }
    return static_cast<int>(menus.size());
}

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return std::wstring(path) + L'\\';
}

std::string MakeBmp(int width, int height, const unsigned* pixels) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    const DWORD imageBytes = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + imageBytes;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            unsigned pixel = pixels[y * width + x];
            const char bgra[4] = {static_cast<char>(pixel & 0xFF),
                                  static_cast<char>((pixel >> 8) & 0xFF),
                                  static_cast<char>((pixel >> 16) & 0xFF), 0};
            bytes.append(bgra, 4);
        }
    }
    return bytes;
}

namespace {

void AppendWord(std::string& bytes, unsigned value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

template <class T> void ReleaseCom(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

}  // namespace

std::string MakeGif(int width, int height, const unsigned char* indices, const unsigned* palette,
                    int paletteSize, int transparentIndex) {
    std::string bytes = "GIF89a";
    AppendWord(bytes, width);
    AppendWord(bytes, height);
    bytes += '\xF7'; // a global colour table of 256 entries, 8 bits per primary
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
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const UINT stride = static_cast<UINT>(width) * 4;
    bool written =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) &&
        IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
        SUCCEEDED(frame->WritePixels(height, stride, stride * height,
                                     reinterpret_cast<BYTE*>(const_cast<unsigned*>(pixels)))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    HGLOBAL memory = nullptr;
    STATSTG status = {};
    if (written && SUCCEEDED(GetHGlobalFromStream(stream, &memory)) &&
        SUCCEEDED(stream->Stat(&status, STATFLAG_NONAME))) {
        if (const char* data = static_cast<const char*>(GlobalLock(memory))) {
            bytes.assign(data, static_cast<size_t>(status.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    ReleaseCom(frame);
    ReleaseCom(encoder);
    ReleaseCom(stream);
    ReleaseCom(factory);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return bytes;
}

std::vector<COLORREF> ReadPixels(HBITMAP bitmap, int* width, int* height) {
    std::vector<COLORREF> pixels;
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) {
        return pixels;
    }
    const int rows = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (width) {
        *width = info.bmWidth;
    }
    if (height) {
        *height = rows;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = dc ? SelectObject(dc, bitmap) : nullptr;
    if (previous) {
        pixels.reserve(static_cast<size_t>(info.bmWidth) * rows);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < info.bmWidth; ++x) {
                pixels.push_back(GetPixel(dc, x, y));
            }
        }
        SelectObject(dc, previous);
    }
    if (dc) {
        DeleteDC(dc);
    }
    return pixels;
}

Canvas::Canvas(int width, int height, COLORREF fill) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    const RECT all = {0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

namespace {

ModalDriver* activeDriver = nullptr;
constexpr UINT kDriverTickMilliseconds = 20;

struct WindowQuery {
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchThreadWindow(HWND window, LPARAM lParam) {
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    wchar_t text[256] = {};
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    if (query->className) {
        GetClassNameW(window, text, 256);
        if (lstrcmpW(text, query->className) != 0) {
            return TRUE;
        }
    }
    if (query->caption) {
        GetWindowTextW(window, text, 256);
        if (lstrcmpW(text, query->caption) != 0) {
            return TRUE;
        }
    }
    query->found = window;
    return FALSE;
}

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") == 0) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

}  // namespace

ModalDriver::ModalDriver(std::vector<Step> steps, DWORD timeoutMilliseconds)
    : steps_(std::move(steps)), deadline_(GetTickCount() + timeoutMilliseconds) {
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, kDriverTickMilliseconds, Tick);
}

ModalDriver::~ModalDriver() {
    Stop();
}

void ModalDriver::Stop() {
    if (timer_) {
        KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    if (activeDriver == this) {
        activeDriver = nullptr;
    }
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* driver = activeDriver;
    if (!driver) {
        return;
    }
    if (static_cast<LONG>(GetTickCount() - driver->deadline_) >= 0) {
        driver->Stop();
        EndMenu();
        EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
        return;
    }
    // One step a tick at most, so that what a step did takes effect before the next looks.
    if (!driver->finished() && driver->steps_[driver->next_]()) {
        ++driver->next_;
    }
    if (driver->finished()) {
        driver->Stop();
    }
}

HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption) {
    WindowQuery query = {className, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchThreadWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace testsupport
