// Shared helpers of the test executables.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Redirects HKEY_CURRENT_USER of this process to a fresh key of its own for the object's
// lifetime, and deletes that key afterwards: no test sees another's or the user's values.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    bool ok() const { return root_ != nullptr; }
    // The real key that stands in for HKEY_CURRENT_USER, below the real HKEY_CURRENT_USER.
    const std::wstring& path() const { return path_; }

private:
    HKEY root_ = nullptr;
    std::wstring path_;
};

// A fresh folder under the temporary folder, deleted with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending with a backslash.
    const std::wstring& path() const { return path_; }
    // Creates a file (and any folders on its way) below the folder; returns its full path.
    std::wstring WriteFile(const std::wstring& relative, const std::string& bytes) const;
    std::wstring MakeDir(const std::wstring& relative) const;

private:
    std::wstring path_;
};

// Deletes a folder and everything below it.
void DeleteTree(const std::wstring& folder);

// The number of GDI objects the process can still create: brushes are created until creation
// fails, counted and freed. Wine answers 0 to GetGuiResources, so leaks are found by comparing
// this capacity before and after an operation.
int FreeGdiCapacity();
// The same for USER objects, measured with menus.
int FreeUserCapacity();

// The directory of the running test executable, ending with a backslash.
std::wstring ExeDirectory();

// Writes a 32-bit bottom-up BMP file of the given pixels (0x00RRGGBB, rows top first).
std::string MakeBmp(int width, int height, const unsigned* pixels);
// Writes a GIF89a file of palette indices (rows top first) with a palette of up to 256 colours
// (0x00RRGGBB); a transparentIndex of -1 means no transparent colour.
std::string MakeGif(int width, int height, const unsigned char* indices, const unsigned* palette,
                    int paletteSize, int transparentIndex = -1);
// Writes a 32-bit PNG file of the given pixels (0xAARRGGBB, not premultiplied, rows top first)
// through Windows Imaging Component; empty when the encoder fails.
std::string MakePng(int width, int height, const unsigned* pixels);

// The pixels of a bitmap as GetPixel reads them through a memory device context (0x00BBGGRR,
// rows top first); empty when the bitmap cannot be read.
std::vector<COLORREF> ReadPixels(HBITMAP bitmap, int* width = nullptr, int* height = nullptr);

// A 32-bit bitmap selected into a memory device context, filled with one colour, to draw into
// and read back pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// Acts inside the modal loops of this thread (dialogs, popup menus, gestures): on a thread timer,
// the step at hand runs until it answers true, then, a tick later, the next one. After the last
// step, or once the time is up, it stops; when time ran out it first ends any menu and closes this
// thread's dialogs, so that a failing test does not hang. One driver at a time.
class ModalDriver {
public:
    using Step = std::function<bool()>;
    explicit ModalDriver(std::vector<Step> steps, DWORD timeoutMilliseconds = 10000);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;
    // Every step ran to its end.
    bool finished() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Stop();

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD deadline_ = 0;
    UINT_PTR timer_ = 0;
};

// A visible top-level window of this thread with the class and the caption; a null argument
// matches any. Null when there is none.
HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption);

// Dispatches whatever this thread's queue holds.
void PumpMessages();

}  // namespace testsupport
