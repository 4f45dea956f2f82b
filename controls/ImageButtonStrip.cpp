#include "controls/ImageButtonStrip.h"

#include "base/Handles.h"
#include "base/Picture.h"

#include <strsafe.h>

#include <cstdlib>

namespace {

constexpr UINT kMaskedDeviceColours = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kFrameMargin = 5;
constexpr int kToggleFrameMargin = 9;
constexpr COLORREF kDarkEdge = RGB(128, 128, 128);
constexpr COLORREF kLightEdge = RGB(192, 192, 192);

// Windows CE paints dialogs in its system colour 25 (COLOR_STATIC); desktop Windows has no such
// index and paints them in the 3-D face colour.
COLORREF DialogColour() {
    return GetSysColor(COLOR_BTNFACE);
}

bool IsDisabled(HWND window) {
    return window && !IsWindowEnabled(window);
}

// One row of the arrow: count pixels from (x, y) to the right.
void DrawArrowRows(HDC dc, int x, int y, COLORREF colour) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
    SelectedObject selected(dc, pen.get());
    for (int row = 0; row < 4; ++row) {
        MoveToEx(dc, x + row, y + row, nullptr);
        LineTo(dc, x + row + 7 - 2 * row, y + row);
    }
}

}  // namespace

ImageButtonStrip::ImageButtonStrip() : textColor(GetSysColor(COLOR_BTNTEXT)) {}

ImageButtonStrip::~ImageButtonStrip() {
    Release();
}

COLORREF ImageButtonStrip::BackgroundColour() const {
    return customBackground ? backgroundColor : DialogColour();
}

void ImageButtonStrip::SetTextColor(const COLORREF* color) {
    if (color) {
        textColor = *color;
    }
}

void ImageButtonStrip::SetChecked(bool on) {
    checked = on;
    // A null window would invalidate every window of the desktop.
    if (button) {
        InvalidateRect(button, nullptr, TRUE);
    }
}

void ImageButtonStrip::SetBackgroundColor(COLORREF color) {
    backgroundColor = color;
    customBackground = true;
}

void ImageButtonStrip::SetImageSize(int width, int height, int scale) {
    imageWidth = width * scale;
    imageHeight = height * scale;
}

bool ImageButtonStrip::Configure(HINSTANCE module, int offset, bool flatStyle, bool flatOnlyStyle,
                                 bool focusRectangle, bool drawTransparent, int extra,
                                 const wchar_t* caption, HFONT, int width, int height,
                                 COLORREF mask) {
    if (configured) {
        return false;
    }
    instance = module;
    resourceOffset = offset;
    flat = flatStyle;
    flatOnly = flatOnlyStyle;
    drawFocus = focusRectangle;
    transparent = drawTransparent;
    if (flatOnly && !flat) {
        return false;
    }
    hasExtra = extra != 0;
    if (hasExtra) {
        extraValue = extra;
    }
    hasText = caption != nullptr;
    if (hasText) {
        StringCchCopyW(text, ARRAYSIZE(text), caption);
        font = defaultFont;
    }
    imageWidth = width;
    imageHeight = height;
    maskColor = mask;
    configured = true;
    return true;
}

bool ImageButtonStrip::Create(int, HWND parentWindow, HWND buttonWindow, UINT stripId, bool resize,
                              HBITMAP bitmap, bool stretch, HICON buttonIcon) {
    if (!configured || !parentWindow) {
        return false;
    }
    button = buttonWindow;
    parent = parentWindow;
    Release();
    if (buttonIcon) {
        icon = buttonIcon;
        return false;
    }
    images = ImageList_Create(imageWidth, imageHeight, kMaskedDeviceColours, 3, 1);
    resourceId = stripId;
    Picture strip;
    HBITMAP source = bitmap;
    if (stripId) {
        strip.Load(nullptr, nullptr, instance, stripId + resourceOffset);
        source = strip.bitmap;
    }
    GdiObject<HBITMAP> stretched;
    if (stretch && source) {
        stretched.Reset(StretchToSize(source, imageWidth, imageHeight));
        source = stretched.get();
    }
    int width = imageWidth;
    int height = imageHeight;
    if (images && source) {
        ImageList_AddMasked(images, source, maskColor);
        const int margin = toggle ? kToggleFrameMargin : kFrameMargin;
        width += margin;
        height += margin;
        if (hasText && font) {
            textWidth = MeasureText(text);
        }
    }
    if (resize) {
        Resize(width, height);
    }
    currentWidth = width;
    return true;
}

void ImageButtonStrip::Release() {
    if (images) {
        ImageList_RemoveAll(images);
        ImageList_Destroy(images);
        images = nullptr;
    }
    configured = false;
}

void ImageButtonStrip::SetText(const wchar_t* caption) {
    if (caption && *caption) {
        StringCchCopyW(text, ARRAYSIZE(text), caption);
        textWidth = MeasureText(text);
        hasText = true;
    } else {
        hasText = false;
        textWidth = 0;
    }
    UpdateLayout();
}

void ImageButtonStrip::SetExtraValue(int value) {
    extraValue = value;
    hasExtra = value != 0;
    UpdateLayout();
}

void ImageButtonStrip::SetExtraValue2(int value) {
    extraValue2 = value;
    hasExtra = value != 0;
    UpdateLayout();
}

int ImageButtonStrip::MeasureText(const wchar_t*) {
    return 0;
}

void ImageButtonStrip::Resize(int width, int height) {
    if (button) {
        SetWindowPos(button, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ImageButtonStrip::SetImageIndices(int normal, int disabled, int pressed) {
    normalIndex = normal;
    disabledIndex = disabled;
    pressedIndex = pressed;
}

void ImageButtonStrip::OnDrawItem(const DRAWITEMSTRUCT* item) {
    if (!item) {
        return;
    }
    int state = kNormal;
    if (item->itemState & ODS_SELECTED) {
        state = kPressed;
        if (toggle) {
            checked = !checked;
        }
    } else if (item->itemState & ODS_FOCUS) {
        state = kFocused;
    } else if (item->itemState & ODS_DISABLED) {
        state = kDisabled;
    }
    if (toggle && checked) {
        state = kPressed;
    }
    Draw(item->hDC, item->rcItem, state);
}

void ImageButtonStrip::Draw(HDC dc, RECT rect, int state) {
    const RECT whole = rect;
    {
        GdiObject<HBRUSH> background(CreateSolidBrush(BackgroundColour()));
        FillRect(dc, &rect, background.get());
    }
    if (images && ImageList_GetImageCount(images) > 0) {
        int index = state == kDisabled ? disabledIndex : normalIndex;
        if (index >= 0) {
            int style = flat ? kFramePlain : kFrameRaised;
            if (state == kPressed) {
                style = kFramePressed;
                if (flat || toggle) {
                    index = pressedIndex;
                }
            }
            DrawFrame(dc, &rect, style);
            DrawImage(dc, &rect, index, state);
        }
    } else if (!images && altImages) {
        ImageList_Draw(altImages, altIndex, dc, 0, 0, ILD_TRANSPARENT);
    } else if (!images && icon) {
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }
    if (drawFocus && state == kFocused) {
        RECT focus = whole;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

void ImageButtonStrip::DrawImage(HDC dc, RECT* rect, int index, int state) {
    if (!dc || !rect || !images || index < 0) {
        return;
    }
    InflateRect(rect, -1, -1);
    int x = rect->left;
    int y = rect->top;
    if (state == kPressed && !toggle && !flat) {
        ++x;
        ++y;
    }
    if (index >= ImageList_GetImageCount(images)) {
        index = 0;
    }
    ImageList_Draw(images, index, dc, x, y, transparent ? ILD_TRANSPARENT : ILD_NORMAL);
    rect->left += imageWidth;
}

void ImageButtonStrip::DrawArrow(HDC dc, const RECT& rect, int state) {
    if (!dc || !IsWindow(button)) {
        return;
    }
    const int half = (rect.right - rect.left) / 2;
    int x = rect.left + half - 3;
    int y = rect.top + half - 2 + 1;
    if (state == kPressed) {
        ++x;
        ++y;
    }
    if (IsWindowEnabled(button)) {
        DrawArrowRows(dc, x, y, GetSysColor(COLOR_BTNTEXT));
    } else {
        DrawArrowRows(dc, x + 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawArrowRows(dc, x, y, GetSysColor(COLOR_BTNSHADOW));
    }
}

void ImageButtonStrip::DrawFrame(HDC dc, RECT* rect, int style) {
    if (!dc || !rect) {
        return;
    }
    const COLORREF backgroundColour = BackgroundColour();
    GdiObject<HBRUSH> background(CreateSolidBrush(backgroundColour));
    GdiObject<HPEN> backgroundPen(CreatePen(PS_SOLID, 1, backgroundColour));
    GdiObject<HPEN> shadowPen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    GdiObject<HPEN> highlightPen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    GdiObject<HPEN> darkPen(CreatePen(PS_SOLID, 1, kDarkEdge));
    GdiObject<HPEN> lightPen(CreatePen(PS_SOLID, 1, kLightEdge));

    RECT inner = *rect;
    InflateRect(&inner, flat ? -1 : -2, flat ? -1 : -2);
    const bool enabled = !IsDisabled(button);
    if (!enabled) {
        style = kFramePlain;
    }
    HPEN topLeft = backgroundPen.get();
    if (style == kFrameRaised || (style == kFramePressed && toggle)) {
        topLeft = highlightPen.get();
    } else if (style == kFramePressed) {
        topLeft = shadowPen.get();
    }
    {
        SelectedObject pen(dc, topLeft);
        FillRect(dc, rect, background.get());
        if (!flat) {
            const POINT topAndLeft[] = {
                {inner.left, inner.bottom}, {inner.left, inner.top}, {inner.right, inner.top}};
            Polyline(dc, topAndLeft, 3);
            if (enabled) {
                SelectObject(dc,
                             style == kFramePressed && !toggle ? lightPen.get() : darkPen.get());
            }
            const POINT rightAndBottom[] = {
                {inner.right, inner.top}, {inner.right, inner.bottom}, {inner.left, inner.bottom}};
            Polyline(dc, rightAndBottom, 3);
            inner.left += 2;
            inner.top += 2;
            inner.right -= 1;
            inner.bottom -= 1;
            if (enabled) {
                DrawOutline(dc, inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            }
        }
    }
    *rect = inner;
}

void ImageButtonStrip::DrawOutline(HDC dc, const RECT& rect, HBRUSH brush) {
    const RECT strips[] = {
        {rect.left, rect.top, rect.right, rect.top + 1},
        {rect.right - 1, rect.top, rect.right, rect.bottom},
        {rect.left, rect.bottom - 1, rect.right, rect.bottom},
        {rect.left, rect.top, rect.left + 1, rect.bottom},
    };
    for (const RECT& strip : strips) {
        if (!FillRect(dc, &strip, brush)) {
            return;
        }
    }
}

void ImageButtonStrip::UpdateLayout() {
    int width = imageWidth + kFrameMargin;
    const int height = imageHeight + kFrameMargin;
    if (hasText) {
        width += textWidth;
    }
    if (hasExtra) {
        width += extraWidth;
    }
    if (maxWidth > 0 && width > maxWidth) {
        width = maxWidth;
    }
    if (!button) {
        currentWidth = width;
        return;
    }
    if (width < currentWidth) {
        WindowDC dc(button);
        GdiObject<HBRUSH> background(CreateSolidBrush(DialogColour()));
        RECT client = {};
        GetClientRect(button, &client);
        FillRect(dc.get(), &client, background.get());
    }
    Resize(width, height);
    currentWidth = width;
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);
}

HBITMAP ImageButtonStrip::StretchToSize(HBITMAP bitmap, int width, int height) const {
    BITMAP source = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(source), &source)) {
        return nullptr;
    }
    GdiObject<HBITMAP> result(
        CreateBitmap(width, height, source.bmPlanes, source.bmBitsPixel, nullptr));
    WindowDC screen(button);
    MemoryDC from(screen.get());
    MemoryDC to(screen.get());
    if (!result || !from || !to) {
        return nullptr;
    }
    SelectedObject sourceSelected(from.get(), bitmap);
    SelectedObject targetSelected(to.get(), result.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, source.bmWidth,
               std::abs(source.bmHeight), SRCCOPY);
    return result.Release();
}
