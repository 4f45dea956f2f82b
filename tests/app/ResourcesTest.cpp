// The linked resources (dialogs, menu, strings, pictures, manifest, icon, version) and the
// blinket pictures that ship beside ocellix.exe.
#include "resources/resource.h"
#include "support/TestSupport.h"
#include "version.h"

#include <windows.h>
#include <commctrl.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using testsupport::kKeyColour;
using testsupport::Pixels;

constexpr COLORREF kTreeKeyColour = RGB(0, 255, 0);

// ---------------------------------------------------------------- dialogs

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;  // null: not checked
    RECT units;           // left, top, width, height in dialog units
    DWORD style;          // bits that must be set
};

struct ExpectedDialog {
    int id;
    const wchar_t* caption;
    int width, height;
    DWORD style;
    std::vector<ExpectedControl> controls;
};

constexpr DWORD kList =
    LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP;
constexpr DWORD kImageButton = BS_OWNERDRAW | WS_TABSTOP;
// A modal frame on every dialog: no program icon in a caption, About's included.
constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

const std::vector<ExpectedDialog>& Dialogs() {
    static const std::vector<ExpectedDialog> dialogs = {
        {IDD_ABOUT,
         L"About",
         130,
         89,
         kDialog,
         {{IDC_STATIC, L"Static", L"Blinkets", {8, 4, 47, 8}, SS_LEFT},
          {IDC_STATIC, L"Static", L"" OCELLIX_ABOUT_VERSION, {8, 12, 15, 8}, SS_LEFT}}},
        {IDD_OPTIONS,
         L"Options",
         134,
         81,
         kDialog,
         {{IDC_BLINKET_LIST, WC_LISTVIEWW, nullptr, {0, 15, 130, 65}, kList},
          {IDC_ADD, L"Button", nullptr, {5, 0, 12, 12}, kImageButton},
          {IDC_DELETE, L"Button", nullptr, {20, 0, 12, 12}, kImageButton},
          {IDC_EDIT, L"Button", nullptr, {45, 0, 12, 12}, kImageButton},
          {IDC_MOVE_UP, L"Button", nullptr, {100, 0, 12, 12}, kImageButton},
          {IDC_MOVE_DOWN, L"Button", nullptr, {115, 0, 12, 12}, kImageButton}}},
        {IDD_EDIT_ITEM,
         L"Edit Item",
         130,
         105,
         kDialog,
         {{IDC_ACTION,
           L"ComboBox",
           nullptr,
           {4, 4, 110, 85},
           CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP},
          {IDC_ACTION_STRING,
           L"Edit",
           L"",
           {4, 24, 108, 14},
           ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
          {IDC_OWN_PICTURE,
           L"Button",
           L"Use the program's own picture",
           {4, 42, 120, 14},
           BS_PUSHBUTTON | WS_TABSTOP},
          {IDC_IMAGE_LIST, WC_LISTVIEWW, nullptr, {4, 60, 124, 42}, kList | LVS_OWNERDATA},
          {IDC_BROWSE, L"Button", L"...", {116, 24, 14, 14}, BS_PUSHBUTTON | WS_TABSTOP}}},
        {IDD_LOCATE,
         L"Locate",
         210,
         129,
         kDialog,
         {{IDC_TREE,
           WC_TREEVIEWW,
           nullptr,
           {0, 0, 184, 108},
           TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER}}},
    };
    return dialogs;
}

std::wstring WindowText(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

// What a DIALOGEX template says, read from the resource itself: live controls adjust their
// styles (a border becomes an extended client edge, a combo box hands its scroll bar to its
// list), so styles and dialog-unit positions are checked where they are written.
struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    int id;
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : start_(data), at_(data) {}
    template <class T> T Take() {
        T value;
        memcpy(&value, at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    // A string, or an 0xFFFF marker followed by an ordinal.
    std::wstring TakeSzOrOrd() {
        std::wstring text;
        for (WORD c = Take<WORD>(); c != 0; c = Take<WORD>()) {
            if (c == 0xFFFF && text.empty()) {
                return L"#" + std::to_wstring(Take<WORD>());
            }
            text += static_cast<wchar_t>(c);
        }
        return text;
    }
    void AlignToDword() {
        while ((at_ - start_) % 4) {
            ++at_;
        }
    }
    void Skip(size_t bytes) { at_ += bytes; }

private:
    const BYTE* start_;
    const BYTE* at_;
};

bool ReadDialogTemplate(int id, DialogTemplate& out) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG);
    const auto* data =
        found ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    if (!data || SizeofResource(nullptr, found) < 26) {
        return false;
    }
    TemplateReader r(data);
    if (r.Take<WORD>() != 1 || r.Take<WORD>() != 0xFFFF) {
        return false;  // not a DIALOGEX template
    }
    r.Skip(8);  // help id, extended style
    out.style = r.Take<DWORD>();
    const WORD count = r.Take<WORD>();
    r.Skip(4);  // x, y
    out.cx = r.Take<short>();
    out.cy = r.Take<short>();
    r.TakeSzOrOrd();  // menu
    r.TakeSzOrOrd();  // class
    r.TakeSzOrOrd();  // caption
    if (out.style & DS_SETFONT) {
        out.pointSize = r.Take<WORD>();
        r.Skip(4);  // weight, italic, character set
        out.typeface = r.TakeSzOrOrd();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignToDword();
        TemplateItem item;
        r.Skip(8);  // help id, extended style
        item.style = r.Take<DWORD>();
        item.x = r.Take<short>();
        item.y = r.Take<short>();
        item.cx = r.Take<short>();
        item.cy = r.Take<short>();
        item.id = r.Take<int>();
        r.TakeSzOrOrd();  // class
        r.TakeSzOrOrd();  // text
        r.Skip(r.Take<WORD>());
        out.items.push_back(item);
    }
    return true;
}

TEST(Resources, DialogTemplatesPlaceEveryControlWithItsStyle) {
    for (const ExpectedDialog& expected : Dialogs()) {
        SCOPED_TRACE(expected.id);
        DialogTemplate dialog;
        ASSERT_TRUE(ReadDialogTemplate(expected.id, dialog));
        EXPECT_EQ(expected.style, dialog.style & expected.style);
        EXPECT_EQ(0u, dialog.style & (WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(expected.width, dialog.cx);
        EXPECT_EQ(expected.height, dialog.cy);
        EXPECT_EQ(8, dialog.pointSize);
        EXPECT_EQ(L"MS Shell Dlg", dialog.typeface);
        ASSERT_EQ(expected.controls.size(), dialog.items.size());
        for (size_t i = 0; i < expected.controls.size(); ++i) {
            const ExpectedControl& control = expected.controls[i];
            const TemplateItem& item = dialog.items[i];
            SCOPED_TRACE(control.id);
            EXPECT_EQ(control.id, item.id);
            const DWORD style = control.style | WS_CHILD | WS_VISIBLE;
            EXPECT_EQ(style, item.style & style);
            EXPECT_EQ(control.units.left, item.x);
            EXPECT_EQ(control.units.top, item.y);
            EXPECT_EQ(control.units.right, item.cx);
            EXPECT_EQ(control.units.bottom, item.cy);
        }
    }
}

// Statics share IDC_STATIC; they are told apart by their text.
HWND FindControl(HWND dialog, const ExpectedControl& control) {
    if (control.id != IDC_STATIC) {
        return GetDlgItem(dialog, control.id);
    }
    return FindWindowExW(dialog, nullptr, control.className, control.text);
}

TEST(Resources, DialogsCreateEveryControlOfTheirClass) {
    for (const ExpectedDialog& expected : Dialogs()) {
        SCOPED_TRACE(expected.id);
        testsupport::OwnedWindow dialog(testsupport::CreateBareDialog(expected.id));
        ASSERT_NE(nullptr, dialog.get());
        EXPECT_FALSE(IsWindowVisible(dialog.get()));
        EXPECT_EQ(expected.caption, WindowText(dialog.get()));
        for (const ExpectedControl& control : expected.controls) {
            SCOPED_TRACE(control.id);
            HWND window = FindControl(dialog.get(), control);
            ASSERT_NE(nullptr, window);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            EXPECT_EQ(0, lstrcmpiW(control.className, className)) << className;
            if (control.text) {
                EXPECT_EQ(control.text, WindowText(window));
            }
        }
    }
}

// ---------------------------------------------------------------- menu, strings, markers

TEST(Resources, PopupMenuOffersOptionsAboutExitInThatOrder) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_POPUP));
    ASSERT_NE(nullptr, menu);
    wchar_t text[32] = {};
    EXPECT_EQ(1, GetMenuItemCount(menu));
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(L"Popup", text);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    const struct {
        UINT id;
        const wchar_t* text;
    } items[] = {{IDM_OPTIONS, L"Options"}, {IDM_ABOUT, L"About"}, {IDM_EXIT, L"Exit"}};
    ASSERT_EQ(3, GetMenuItemCount(popup));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i].id, GetMenuItemID(popup, i));
        GetMenuStringW(popup, i, text, 32, MF_BYPOSITION);
        EXPECT_STREQ(items[i].text, text);
    }
    DestroyMenu(menu);
}

TEST(Resources, ActionTextsFollowTheActionCodes) {
    const wchar_t* texts[] = {L"_", L"Run: Web Page", L"Run: Program", L"Show Options", L"_"};
    for (int code = 0; code < 5; ++code) {
        wchar_t text[64] = {};
        ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_ACTION_FIRST + code, text, 64), 0);
        EXPECT_STREQ(texts[code], text);
    }
}

std::string ResourceBytes(const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(nullptr, name, type);
    if (!found) {
        return {};
    }
    const void* data = LockResource(LoadResource(nullptr, found));
    return data ? std::string(static_cast<const char*>(data), SizeofResource(nullptr, found))
                : std::string();
}

TEST(Resources, HighResolutionMarkerIsTheWordOne) {
    EXPECT_EQ(std::string("\x01\x00", 2), ResourceBytes(L"HI_RES_AWARE", L"CEUX"));
}

// Aware of each monitor's density where Windows knows of it, of the system's elsewhere.
TEST(Resources, ManifestAsksForCommonControlsSixAndPerMonitorDpiAwareness) {
    const std::string manifest = ResourceBytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos,
              manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                            "WindowsSettings\">true</dpiAware>"));
    EXPECT_NE(std::string::npos,
              manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                            "WindowsSettings\">PerMonitorV2</dpiAwareness>"));
}

// ---------------------------------------------------------------- pictures

Pixels Decode(ComPtr<IWICBitmapDecoder> decoder, ComPtr<IWICImagingFactory> factory) {
    Pixels out;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT w = 0, h = 0;
    if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return out;
    }
    std::vector<BYTE> bgrx(w * h * 4);
    if (FAILED(
            converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(bgrx.size()), bgrx.data()))) {
        return out;
    }
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    for (size_t i = 0; i < bgrx.size(); i += 4) {
        out.colours.push_back(RGB(bgrx[i + 2], bgrx[i + 1], bgrx[i]));
    }
    return out;
}

ComPtr<IWICImagingFactory> Factory() {
    ComPtr<IWICImagingFactory> factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(&factory));
    return factory;
}

Pixels DecodeBytes(const std::string& bytes) {
    ComPtr<IWICImagingFactory> factory = Factory();
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory || FAILED(factory->CreateStream(&stream)) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder))) {
        return {};
    }
    return Decode(decoder, factory);
}

Pixels DecodeFile(const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory = Factory();
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder))) {
        return {};
    }
    return Decode(decoder, factory);
}

// The pixels of one square picture of a strip that are not the key colour.
int OpaquePixels(const Pixels& strip, int left, int side, COLORREF key) {
    int count = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = left; x < left + side; ++x) {
            count += strip.At(x, y) != key;
        }
    }
    return count;
}

TEST(Resources, PictureStripsHaveTheirFormatsSizesAndKeyColour) {
    const struct {
        int id;
        const char* signature;
        int width, height, pictures;
        COLORREF key;
    } strips[] = {
        {IDB_ADD, "BM", 80, 20, 4, kKeyColour},
        {IDB_EDIT, "GIF8", 80, 20, 4, kKeyColour},
        {IDB_DELETE, "BM", 80, 20, 4, kKeyColour},
        {IDB_MOVE_UP, "BM", 80, 20, 4, kKeyColour},
        {IDB_MOVE_DOWN, "BM", 80, 20, 4, kKeyColour},
        {IDB_ADD + IDB_HIRES_OFFSET, "BM", 160, 40, 4, kKeyColour},
        {IDB_EDIT + IDB_HIRES_OFFSET, "GIF8", 160, 40, 4, kKeyColour},
        {IDB_DELETE + IDB_HIRES_OFFSET, "BM", 160, 40, 4, kKeyColour},
        {IDB_MOVE_UP + IDB_HIRES_OFFSET, "BM", 160, 40, 4, kKeyColour},
        {IDB_MOVE_DOWN + IDB_HIRES_OFFSET, "BM", 160, 40, 4, kKeyColour},
        {IDB_TREE, nullptr, 80, 16, 5, kTreeKeyColour},
        {IDB_TREE + IDB_HIRES_OFFSET, nullptr, 160, 32, 5, kTreeKeyColour},
        {IDB_MISSING_PICTURE, "BM", 16, 16, 1, kKeyColour},
        {IDB_MISSING_PICTURE + IDB_HIRES_OFFSET, "BM", 32, 32, 1, kKeyColour},
    };
    for (const auto& s : strips) {
        SCOPED_TRACE(s.id);
        const std::string bytes = ResourceBytes(MAKEINTRESOURCEW(s.id), L"GIF");
        ASSERT_FALSE(bytes.empty());
        if (s.signature) {
            EXPECT_EQ(0, bytes.compare(0, strlen(s.signature), s.signature));
        }
        const Pixels pixels = DecodeBytes(bytes);
        ASSERT_EQ(s.width, pixels.width);
        ASSERT_EQ(s.height, pixels.height);
        const int side = s.height;
        for (int i = 0; i < s.pictures; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(s.key, pixels.At(i * side, 0));
            // Picture 3 of the tree is never shown; every other picture shows something.
            if (s.key == kKeyColour || i != 3) {
                EXPECT_GT(OpaquePixels(pixels, i * side, side, s.key), side * side / 8);
            }
        }
    }
}

// ---------------------------------------------------------------- blinkets beside the program

std::wstring BlinketsFolder() {
    return testsupport::ExeDirectory() + L"..\\..\\bin\\Blinkets\\";
}

std::string ReadWholeFile(const std::wstring& path) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    std::string bytes(file ? GetFileSize(file.get(), nullptr) : 0, '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        read = 0;
    }
    bytes.resize(read);
    return bytes;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((folder + pattern).c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &found)) {
        names.push_back(found.cFileName);
    }
    return names;
}

TEST(Blinkets, DefaultImageAndItsEyesLieBesideTheProgram) {
    const std::wstring folder = BlinketsFolder();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"eyesbig.gif").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"eyesbig.gif.eye").c_str()));
}

TEST(Blinkets, EveryImageIsKeyedAtItsTopLeftCorner) {
    const std::wstring folder = BlinketsFolder();
    const std::vector<std::wstring> images = FilesIn(folder, L"*.gif");
    ASSERT_GE(images.size(), 5u);
    for (const std::wstring& name : images) {
        SCOPED_TRACE(testing::PrintToString(name));
        const Pixels pixels = DecodeFile(folder + name);
        ASSERT_GT(pixels.width, 0);
        EXPECT_EQ(kKeyColour, pixels.At(0, 0));
        const int side = pixels.width >= 2 * pixels.height ? pixels.height : pixels.width;
        for (int left = 0; left + side <= pixels.width; left += side) {
            EXPECT_GT(OpaquePixels(pixels, left, side, kKeyColour), side * side / 4);
        }
    }
}

// Black pupils need a light ground: an eye's white may be tinted, but not dark or transparent.
bool IsEyeWhite(COLORREF c) {
    const int luminance = (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
    return c != kKeyColour && luminance >= 150;
}

// An eye file's rectangles must lie on the white of every frame of its image: pupils are
// discs drawn inside them, reaching up to three pixels beyond their left and top edges.
TEST(Blinkets, EyeRectanglesLieOnTheEyeWhitesOfEveryFrame) {
    const std::wstring folder = BlinketsFolder();
    const std::vector<std::wstring> eyeFiles = FilesIn(folder, L"*.eye");
    ASSERT_GE(eyeFiles.size(), 2u);
    for (const std::wstring& name : eyeFiles) {
        SCOPED_TRACE(testing::PrintToString(name));
        const std::string text = ReadWholeFile(folder + name);
        RECT eyes[2];
        int used = 0;
        ASSERT_EQ(8, sscanf(text.c_str(), "%ld,%ld,%ld,%ld\r\n%ld,%ld,%ld,%ld\r\n%n", &eyes[0].left,
                            &eyes[0].top, &eyes[0].right, &eyes[0].bottom, &eyes[1].left,
                            &eyes[1].top, &eyes[1].right, &eyes[1].bottom, &used));
        EXPECT_EQ(text.size(), static_cast<size_t>(used));
        EXPECT_EQ(2, std::count(text.begin(), text.end(), '\n'));

        const Pixels image = DecodeFile(folder + name.substr(0, name.size() - 4));
        ASSERT_GT(image.height, 0);
        const int frameWidth = image.width >= 2 * image.height ? image.height : image.width;
        for (const RECT& eye : eyes) {
            ASSERT_LT(eye.left, eye.right);
            ASSERT_LT(eye.top, eye.bottom);
            ASSERT_GE(eye.left - 3, 0);
            ASSERT_GE(eye.top - 3, 0);
            ASSERT_LE(eye.right, frameWidth);
            ASSERT_LE(eye.bottom, image.height);
            for (int frame = 0; frame + frameWidth <= image.width; frame += frameWidth) {
                for (int y = eye.top; y < eye.bottom; ++y) {
                    for (int x = eye.left; x < eye.right; ++x) {
                        ASSERT_TRUE(IsEyeWhite(image.At(frame + x, y))) << frame + x << "," << y;
                    }
                }
            }
        }
        // Both eyes take their pupil size from the left eye's width: keep them alike.
        EXPECT_EQ(eyes[0].right - eyes[0].left, eyes[1].right - eyes[1].left);
    }
}

// The file's icon, as DrawIconEx shows it over any ground: for every size its own drawing of
// the big eyes, whites above dark pupils, with the ground showing at the corners.
TEST(Resources, TheIconIsTheBigEyesDrawnForEverySize) {
    constexpr COLORREF kGround = RGB(10, 200, 30);
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_OCELLIX), IMAGE_ICON, size, size, 0));
        ASSERT_NE(nullptr, icon);
        testsupport::Canvas canvas(size, size, kGround);
        EXPECT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
        DestroyIcon(icon);
        for (POINT corner :
             {POINT{0, 0}, POINT{size - 1, 0}, POINT{0, size - 1}, POINT{size - 1, size - 1}}) {
            EXPECT_EQ(kGround, canvas.Pixel(corner.x, corner.y));
        }
        const double unit = size / 32.0;
        for (double eyeX : {9.1, 22.9}) {
            const int x = static_cast<int>(eyeX * unit);
            EXPECT_TRUE(IsEyeWhite(canvas.Pixel(x, static_cast<int>(8 * unit))));
            int dark = 0;
            for (int y = static_cast<int>(16 * unit); y < static_cast<int>(24 * unit); ++y) {
                for (int dx = static_cast<int>(-2 * unit); dx <= static_cast<int>(4 * unit); ++dx) {
                    const COLORREF c = canvas.Pixel(x + dx, y);
                    dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200 ? 1 : 0;
                }
            }
            EXPECT_GT(dark, 0) << "no pupil in the eye at " << x;
        }
    }
}

TEST(Resources, TheFileCarriesTheProjectVersion) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD unused = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path, &unused));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const WORD numbers[] = {OCELLIX_VERSION_NUMBERS};
    EXPECT_EQ(MAKELONG(numbers[1], numbers[0]), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(numbers[3], numbers[2]), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    const struct {
        const wchar_t* name;
        std::wstring value;
    } strings[] = {{L"ProductName", L"Ocellix"},
                   {L"ProductVersion", L"" OCELLIX_VERSION_TEXT},
                   {L"FileVersion", L"" OCELLIX_VERSION_TEXT},
                   {L"OriginalFilename", L"ocellix.exe"}};
    for (const auto& string : strings) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + string.name;
        ASSERT_TRUE(
            VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(string.value, value);
    }
}

}  // namespace
