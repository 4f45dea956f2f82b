// Shared helpers of the test executables.
#pragma once

#include "base/Handles.h"
#include "model/Blinket.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// ---------------------------------------------------------------- handles, files, registry

// A window or module released on scope exit: the kinds base/Handles.h has no guard for.
template <class Handle, BOOL(WINAPI* Release)(Handle)> class Owned {
public:
    explicit Owned(Handle handle = nullptr) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Handle get() const { return handle_; }
    void Reset(Handle handle = nullptr) {
        if (handle_) {
            Release(handle_);
        }
        handle_ = handle;
    }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_;
};
using OwnedWindow = Owned<HWND, DestroyWindow>;
using OwnedModule = Owned<HMODULE, FreeLibrary>;

// Redirects HKEY_CURRENT_USER of this process to a fresh key of its own for the object's
// lifetime, and deletes that key afterwards: no test sees another's or the user's values. The
// user's local data folder (where made pictures go) is a fresh folder too, named there as the
// shell names it.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    bool ok() const { return root_ != nullptr; }
    // The folder of the pictures made from icons, ending with a backslash.
    std::wstring UserPictures() const { return localData_ + L"Ocellix\\Pictures\\"; }

private:
    HKEY root_ = nullptr;
    std::wstring path_;
    std::wstring localData_;
};

// A fresh folder under the temporary folder, or the folder given, emptied; deleted with
// everything in it afterwards.
class TempDir {
public:
    TempDir();
    explicit TempDir(std::wstring folder);
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

// Writes the file whole; false when it cannot be created or written.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Deletes a folder and everything below it.
void DeleteTree(const std::wstring& folder);
// The directory of the running test executable, ending with a backslash.
std::wstring ExeDirectory();

// The number of GDI objects the process can still create: brushes are created until creation
// fails, counted and freed. Wine answers 0 to GetGuiResources, so leaks are found by comparing
// this capacity before and after an operation.
int FreeGdiCapacity();
// The same for USER objects, measured with menus.
int FreeUserCapacity();

// A blinket of the image with the action; fails the test when the path does not fit the record.
std::unique_ptr<Blinket> MakeBlinket(const std::wstring& image, int actionCmd = kActionNone,
                                     const wchar_t* actionString = L"", int imagePos = 0);
// Such a blinket appended to the program's list.
Blinket* AddBlinket(const std::wstring& image, int actionCmd = kActionNone,
                    const wchar_t* actionString = L"", int imagePos = 0);

// ---------------------------------------------------------------- pictures and pixels

// The key colour of every picture, 0x00RRGGBB as the image makers below take colours, and as
// GetPixel answers it.
constexpr unsigned kKeyRgb = 0x800080;
constexpr COLORREF kKeyColour = RGB(128, 0, 128);

// 0x00RRGGBB as the image makers take it, 0x00BBGGRR as GetPixel answers.
constexpr COLORREF ColourOf(unsigned rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// "left,top,right,bottom".
std::string RectText(const RECT& rect);

// A 32-bit bottom-up BMP file of the pixels (0x00RRGGBB, rows top first). With alpha, its header
// declares an alpha channel, taken from the pixels' top bytes (0xAARRGGBB); without, those bytes
// are written as zero.
std::string MakeBmp(int width, int height, const unsigned* pixels, bool alpha = false);
// A BMP of one colour (0x00RRGGBB).
std::string SolidBmp(int width, int height, unsigned rgb);
// Writes a GIF89a file of palette indices (rows top first) with a palette of up to 256 colours
// (0x00RRGGBB); a transparentIndex of -1 means no transparent colour.
std::string MakeGif(int width, int height, const unsigned char* indices, const unsigned* palette,
                    int paletteSize, int transparentIndex = -1);
// Writes a 32-bit PNG file of the given pixels (0xAARRGGBB, not premultiplied, rows top first)
// through Windows Imaging Component; empty when the encoder fails.
std::string MakePng(int width, int height, const unsigned* pixels);

// One picture of an icon file: PNG bytes, or a DIB as IconDib makes it, and the size its
// directory entry declares.
struct IconImage {
    int width = 0;
    int height = 0;
    std::string data;
};
// An icon file (.ico) holding the pictures in that order.
std::string MakeIco(const std::vector<IconImage>& images);
// A 32-bit DIB picture of an icon: the pixels (0xAARRGGBB, not premultiplied, rows top first)
// with an all-opaque mask below.
std::string IconDib(int width, int height, const unsigned* pixels);
// A disc of the colour (0x00RRGGBB) on transparency, side pixels square, its edge one pixel of
// partial alpha wide: what an icon's large picture looks like.
std::vector<unsigned> DiscPixels(int side, unsigned rgb);
// A shortcut (.lnk) to the target, naming an icon when iconFile is given; false when it cannot
// be saved. COM must be initialised.
bool MakeShortcut(const std::wstring& path, const std::wstring& target,
                  const wchar_t* iconFile = nullptr, int iconIndex = 0);

// A horizontal strip of square frames of side pixels, frame f in colours[f] (0x00RRGGBB) with
// its top-left quarter in the key colour, as the program's image strips are made; rows top first.
std::vector<unsigned> StripPixels(int side, const std::vector<unsigned>& colours);
// Such a strip as a BMP file.
std::string StripBmp(int side, const std::vector<unsigned>& colours);

// A 32-bit top-down DIB section of the colours (as GetPixel answers them), rows top first.
HBITMAP MakeDib(int width, int height, const std::vector<COLORREF>& colours);

// Pixels as GetPixel answers them, rows top first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;
    COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};
// The pixels of a bitmap read through a memory device context; empty when it cannot be read.
Pixels ReadPixels(HBITMAP bitmap);

// A 32-bit bitmap selected into a memory device context, to draw into and read back.
class Canvas {
public:
    Canvas(int width, int height, const std::vector<COLORREF>& colours);
    Canvas(int width, int height, COLORREF fill);
    HDC dc() const { return dc_.get(); }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    GdiObject<HBITMAP> bitmap_;
    MemoryDC dc_{nullptr};
    SelectedObject selected_{dc_.get(), bitmap_.get()};
};

// ---------------------------------------------------------------- windows and modal loops

// Dispatches whatever this thread's queue holds.
void PumpMessages();
// Dispatches this thread's messages, waiting for more, until the condition holds; false when it
// does not within the time.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000);
// The text of a dialog's control.
std::wstring ControlText(HWND dialog, int id);

// A hidden dialog of this executable's templates with nothing but the dialog manager behind it.
HWND CreateBareDialog(int templateId);

// Done, as the Pocket PC shell reports the close box, Enter and Esc.
void PressDone(HWND dialog);
// A click as the button sends it.
void Click(HWND dialog, int id);
// Selects the list view's row alone, or none for -1.
void SelectRow(HWND list, int row);

// Acts inside the modal loops of this thread (dialogs, popup menus, gestures). On a thread timer
// it looks for the window the next step waits for, and once that is up hands it to the step, one
// step a tick so that what a step did takes effect before the next one looks. A step may open a
// modal loop of its own; the steps after it run inside. A dialog or menu that comes up when no
// step waits for it, or a step whose window does not come within ten seconds, fails the test,
// and then every menu and dialog of the thread is closed so that the test does not hang.
// One driver at a time.
class ModalDriver {
public:
    using Action = std::function<void(HWND)>;
    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Waits for the enabled dialog of the caption.
    ModalDriver& OnDialog(const wchar_t* caption, Action action);
    ModalDriver& Done(const wchar_t* caption) { return OnDialog(caption, PressDone); }
    // Waits for a popup menu; the action gets the menu's window.
    ModalDriver& OnMenu(Action action);
    // Every step has run.
    bool finished() const { return steps_.empty(); }

private:
    struct Step {
        const wchar_t* className;
        std::wstring caption;
        Action action;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Next();
    void FailUnexpected();
    void GiveUp();

    std::deque<Step> steps_;
    std::vector<HWND> acting_;  // the windows of the steps under way, nested ones included
    DWORD waitingSince_ = 0;
    UINT_PTR timer_ = 0;
};

}  // namespace testsupport
