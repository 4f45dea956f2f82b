// An owner-drawn push button painted from a strip of equally sized pictures: one picture for
// each look of the button (normal, pressed, disabled). The object neither owns nor subclasses
// the button window; the dialog hands it the window and forwards the button's draw requests.
#pragma once

#include <windows.h>
#include <commctrl.h>

class ImageButtonStrip {
public:
    // Draw states
    static constexpr int kNormal = 0;
    static constexpr int kFocused = 1;
    static constexpr int kPressed = 2;
    static constexpr int kDisabled = 3;
    // Frame styles
    static constexpr int kFramePlain = 0;
    static constexpr int kFrameRaised = 1;
    static constexpr int kFramePressed = 2;

    ImageButtonStrip();
    ImageButtonStrip(const ImageButtonStrip&) = delete;
    ImageButtonStrip& operator=(const ImageButtonStrip&) = delete;

    virtual bool IsConfigured() const { return configured; }
    virtual void SetTextColor(const COLORREF* color);
    virtual int GetWidth() const { return currentWidth; }
    virtual void SetMaxWidth(int width) { maxWidth = width; }
    virtual void SetToggle(bool on) { toggle = on; }
    virtual bool IsChecked() const { return checked; }
    virtual void SetChecked(bool on);
    virtual void SetBackgroundColor(COLORREF color);
    virtual void SetImageSize(int width, int height, int scale);
    virtual void SetMaskColor(COLORREF color) { maskColor = color; }
    virtual ~ImageButtonStrip();
    // Stores the options; fails when already configured, or for flatOnly without flat.
    virtual bool Configure(HINSTANCE module, int offset, bool flatStyle, bool flatOnlyStyle,
                           bool focusRectangle, bool drawTransparent, int extra,
                           const wchar_t* caption, HFONT captionFont, int width, int height,
                           COLORREF mask);
    // Loads the strip (resource id + offset, or the bitmap when the id is 0) into a new image
    // list and sizes the button to a picture. Works once per Configure.
    virtual bool Create(int controlId, HWND parentWindow, HWND buttonWindow, UINT stripId,
                        bool resize, HBITMAP bitmap, bool stretch, HICON buttonIcon);
    virtual void SetText(const wchar_t* caption);
    virtual void SetExtraValue(int value);
    virtual void SetExtraValue2(int value);
    // The width of a caption; this button draws none.
    virtual int MeasureText(const wchar_t* caption);
    virtual void Resize(int width, int height);
    virtual void SetImageIndices(int normal, int disabled, int pressed);
    // StubA, StubB and StubC are hooks a derived button may fill; this one has nothing there.
    virtual int StubA() { return 0; }
    virtual void Draw(HDC dc, RECT rect, int state);
    // Draws one picture inside the rectangle, which is shrunk by one pixel and then starts right
    // of the picture.
    virtual void DrawImage(HDC dc, RECT* rect, int index, int state);
    virtual void StubB(int, int, int) {}
    virtual void DrawArrow(HDC dc, const RECT& rect, int state);
    // Paints background and frame; the rectangle becomes the frame's inside.
    virtual void DrawFrame(HDC dc, RECT* rect, int style);
    virtual int StubC(int, int, int) { return 0; }
    virtual void UpdateLayout();

    // Frees the image list; the next opening configures the button again.
    void Release();
    void OnDrawItem(const DRAWITEMSTRUCT* item);
    static void DrawOutline(HDC dc, const RECT& rect, HBRUSH brush);
    // A copy of the bitmap stretched to the size, owned by the caller; null on failure.
    HBITMAP StretchToSize(HBITMAP bitmap, int width, int height) const;

    HINSTANCE instance = nullptr;
    HWND parent = nullptr;
    HWND button = nullptr;
    bool configured = false;
    int currentWidth = 16;
    int maxWidth = 0;  // no limit while 0
    int resourceOffset = 0;
    bool flat = false;
    bool flatOnly = false;
    bool hasExtra = false;
    bool hasText = false;
    bool drawFocus = true;
    bool transparent = true;
    bool toggle = false;
    bool checked = false;
    int imageWidth = 16;
    int imageHeight = 16;
    int textWidth = 0;
    int extraWidth = 12;
    COLORREF maskColor = RGB(128, 0, 128);
    UINT resourceId = 0;
    HIMAGELIST images = nullptr;
    HIMAGELIST altImages = nullptr;
    int altIndex = 0;
    HICON icon = nullptr;
    bool customBackground = false;
    COLORREF backgroundColor = RGB(192, 192, 192);
    int normalIndex = 0;
    int disabledIndex = 3;
    int pressedIndex = 2;
    HFONT defaultFont = nullptr;
    HFONT font = nullptr;
    wchar_t text[128] = {};
    COLORREF textColor;
    int extraValue2 = 0;
    int extraValue = 0;

private:
    COLORREF BackgroundColour() const;
};
