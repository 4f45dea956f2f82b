// An owned bitmap with its size, loaded from an image file or an image resource.
#pragma once

#include <windows.h>

// The key colour: transparent in every image of the program.
constexpr COLORREF kKeyColour = RGB(128, 0, 128);

class Picture {
public:
    Picture() = default;
    ~Picture() { Release(); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Replaces the content: from the file when module and id are both zero, else from the
    // module's image resource. The owner window is not used. Callers test IsLoaded afterwards.
    void Load(HWND owner, const wchar_t* path, HINSTANCE module, UINT id);
    // Takes ownership of the bitmap and reads its size.
    void Attach(HBITMAP newBitmap);
    // Deletes the bitmap, if any; the size keeps its values.
    void Release();
    bool IsLoaded() const { return bitmap != nullptr; }
    // A new bitmap of the same size, owned by the caller: black where a pixel has exactly the
    // colour of the top-left pixel, white everywhere else.
    HBITMAP MakeMask() const;
    // The same, black where a pixel has exactly the given colour.
    HBITMAP MakeMask(COLORREF key) const;

    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
};
