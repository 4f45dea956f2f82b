#include "platform/PocketShell.h"
#include "platform/TestResources.h"
#include "support/TestSupport.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::ColourOf;
using testsupport::kKeyColour;
using testsupport::MakeBmp;
using testsupport::MakeGif;
using testsupport::MakePng;
using testsupport::TempDir;

namespace {

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    bool alphaCleared = false;  // a 32-bit BI_RGB DIB section whose alpha bytes are all zero
};

// Takes the bitmap over.
Decoded Decode(HBITMAP loaded) {
    Decoded result;
    GdiObject<HBITMAP> bitmap(loaded);
    DIBSECTION dib = {};
    if (bitmap && GetObjectW(bitmap.get(), sizeof(dib), &dib) == sizeof(dib)) {
        result.width = dib.dsBm.bmWidth;
        result.height = dib.dsBm.bmHeight;  // positive: callers read the size straight from it
        result.pixels = testsupport::ReadPixels(bitmap.get()).colours;
        const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
        result.alphaCleared = dib.dsBm.bmBitsPixel == 32 && dib.dsBmih.biCompression == BI_RGB;
        for (int i = 0; result.alphaCleared && i < result.width * result.height; ++i) {
            result.alphaCleared = bits[i * 4 + 3] == 0;
        }
    }
    return result;
}

// A 5 by 3 picture of distinct colours, so that a mirrored or shifted decode shows.
const unsigned kColours[15] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                               0xFF00FF, 0x123456, 0x654321, 0x000000, 0xFFFFFF,
                               0x808080, 0x7F0080, 0x010203, 0xFEDCBA, 0x0F0F0F};

std::string OpaqueGif() {
    unsigned char indices[15];
    for (int i = 0; i < 15; ++i) {
        indices[i] = static_cast<unsigned char>(i);
    }
    return MakeGif(5, 3, indices, kColours, 15);
}

std::string OpaquePng() {
    unsigned pixels[15];
    for (int i = 0; i < 15; ++i) {
        pixels[i] = 0xFF000000 | kColours[i];
    }
    return MakePng(5, 3, pixels);
}

// Pictures decoded from files of a folder of the test's own.
class ImageFile : public testing::Test {
protected:
    Decoded Load(const wchar_t* name, const std::string& bytes) const {
        return Decode(SHLoadImageFile(dir.WriteFile(name, bytes).c_str()));
    }

    TempDir dir;
};

TEST_F(ImageFile, DecodesGifPngAndBmpWithTheirSizeAndColours) {
    const struct {
        const wchar_t* name;
        std::string bytes;
    } cases[] = {
        {L"colours.bmp", MakeBmp(5, 3, kColours)},
        {L"colours.gif", OpaqueGif()},
        {L"colours.png", OpaquePng()},
        // The extension does not decide the format.
        {L"really-a-gif.png", OpaqueGif()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ASSERT_FALSE(c.bytes.empty());
        const Decoded image = Load(c.name, c.bytes);
        ASSERT_EQ(5, image.width);
        ASSERT_EQ(3, image.height);
        ASSERT_EQ(15u, image.pixels.size());
        for (int i = 0; i < 15; ++i) {
            EXPECT_EQ(ColourOf(kColours[i]), image.pixels[i]) << "pixel " << i;
        }
        EXPECT_TRUE(image.alphaCleared);
    }
}

TEST_F(ImageFile, PngPixelsBelowHalfAlphaBecomeKeyColour) {
    const unsigned alphas[8] = {0x00, 0x01, 0x7F, 0x80, 0x81, 0xC8, 0xFF, 0x7E};
    unsigned pixels[8];
    for (int i = 0; i < 8; ++i) {
        pixels[i] = (alphas[i] << 24) | 0x20A0E0;
    }
    const Decoded image = Load(L"alpha.png", MakePng(4, 2, pixels));
    ASSERT_EQ(4, image.width);
    ASSERT_EQ(2, image.height);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(alphas[i] < 128 ? kKeyColour : RGB(0x20, 0xA0, 0xE0), image.pixels[i])
            << "alpha " << alphas[i];
    }
    EXPECT_TRUE(image.alphaCleared);
}

TEST_F(ImageFile, GifTransparentIndexBecomesKeyColour) {
    const unsigned palette[3] = {0xFF0000, 0x00FF00, 0xFFFFFF};
    const unsigned char indices[6] = {0, 2, 1, 2, 2, 0};
    const Decoded image = Load(L"t.gif", MakeGif(3, 2, indices, palette, 3, 2));
    ASSERT_EQ(3, image.width);
    ASSERT_EQ(2, image.height);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(indices[i] == 2 ? kKeyColour : ColourOf(palette[indices[i]]), image.pixels[i])
            << "pixel " << i;
    }
    EXPECT_TRUE(image.alphaCleared);
}

std::string BmpClaiming(int width, int height) {
    const unsigned pixel = 0;
    std::string bytes = MakeBmp(1, 1, &pixel);
    BITMAPINFOHEADER* info = reinterpret_cast<BITMAPINFOHEADER*>(&bytes[sizeof(BITMAPFILEHEADER)]);
    info->biWidth = width;
    info->biHeight = height;
    return bytes;
}

TEST_F(ImageFile, BmpAlphaCountsUnlessItIsZeroEverywhere) {
    const unsigned mixed[4] = {0xFF102030, 0x00102030, 0x80102030, 0x7F102030};
    const unsigned zero[4] = {0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0};
    const Decoded keyed = Load(L"mixed.bmp", MakeBmp(2, 2, mixed, true));
    const std::vector<COLORREF> keyedPixels = {RGB(0x10, 0x20, 0x30), kKeyColour,
                                               RGB(0x10, 0x20, 0x30), kKeyColour};
    EXPECT_EQ(keyedPixels, keyed.pixels);
    EXPECT_TRUE(keyed.alphaCleared);
    // Most programs leave the fourth byte of a 32-bit BMP zero and mean an opaque picture.
    const Decoded opaque = Load(L"zero.bmp", MakeBmp(2, 2, zero, true));
    const std::vector<COLORREF> opaquePixels = {RGB(0x10, 0x20, 0x30), RGB(0x40, 0x50, 0x60),
                                                RGB(0x70, 0x80, 0x90), RGB(0xA0, 0xB0, 0xC0)};
    EXPECT_EQ(opaquePixels, opaque.pixels);
    EXPECT_TRUE(opaque.alphaCleared);
}

TEST_F(ImageFile, WhatDoesNotDecodeGivesNullWithoutLeaks) {
    const std::string png = OpaquePng();
    const std::string gif = OpaqueGif();
    std::string corrupt = png;
    for (size_t i = 40; i < corrupt.size(); ++i) {
        corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
    }
    const struct {
        const wchar_t* name;
        std::string bytes;
    } files[] = {
        {L"corrupt.png", corrupt},
        {L"truncated.png", png.substr(0, png.size() / 2)},
        {L"header-only.gif", gif.substr(0, 13)},
        {L"text.png", "This is a text file with a picture's name.\r\n"},
        {L"empty.gif", ""},
        {L"huge.bmp", BmpClaiming(100000, 100000)},
        {L"zero-width.bmp", BmpClaiming(0, 10)},
    };
    std::vector<std::wstring> paths;
    for (const auto& f : files) {
        paths.push_back(dir.WriteFile(f.name, f.bytes));
    }
    paths.push_back(dir.path() + L"missing.gif");
    paths.push_back(dir.path());  // a folder
    paths.push_back(L"");

    // Warm-up: the first decode loads the codecs, which keep a few objects for the process.
    DeleteObject(SHLoadImageFile(dir.WriteFile(L"ok.png", png).c_str()));
    const int before = testsupport::FreeGdiCapacity();
    for (const std::wstring& path : paths) {
        GdiObject<HBITMAP> bitmap(SHLoadImageFile(path.c_str()));
        EXPECT_EQ(nullptr, bitmap.get()) << "path index " << (&path - paths.data());
    }
    EXPECT_EQ(nullptr, SHLoadImageFile(nullptr));
    EXPECT_EQ(before, testsupport::FreeGdiCapacity());
}

TEST(ImageResource, DecodesGifAndBmpDataOfTypeGif) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    const Decoded gif = Decode(SHLoadImageResource(module, IDB_TEST_GIF));
    ASSERT_EQ(4, gif.width);
    ASSERT_EQ(2, gif.height);
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    const std::vector<COLORREF> gifPixels = {red,        green, blue,  kKeyColour,
                                             kKeyColour, blue,  green, red};
    EXPECT_EQ(gifPixels, gif.pixels);
    EXPECT_TRUE(gif.alphaCleared);

    const Decoded bmp = Decode(SHLoadImageResource(module, IDB_TEST_BMP));
    ASSERT_EQ(3, bmp.width);
    ASSERT_EQ(2, bmp.height);
    const std::vector<COLORREF> bmpPixels = {red,          green,     blue, RGB(255, 255, 0),
                                             RGB(0, 0, 0), kKeyColour};
    EXPECT_EQ(bmpPixels, bmp.pixels);
    EXPECT_TRUE(bmp.alphaCleared);
}

TEST(ImageResource, MissingOrUndecodableResourceGivesNull) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    EXPECT_EQ(nullptr, SHLoadImageResource(module, IDB_TEST_GARBAGE));
    EXPECT_EQ(nullptr, SHLoadImageResource(module, 9999));
    EXPECT_EQ(nullptr, SHLoadImageResource(module, 0));
    EXPECT_EQ(nullptr, SHLoadImageResource(GetModuleHandleW(L"kernel32.dll"), IDB_TEST_GIF));
}

// The loaders bring COM up themselves and leave the caller's thread as they found it.
DWORD WINAPI LoadOnFreshThread(void* parameter) {
    DWORD* outcome = static_cast<DWORD*>(parameter);
    outcome[0] = static_cast<bool>(
        GdiObject<HBITMAP>(SHLoadImageResource(GetModuleHandleW(nullptr), IDB_TEST_GIF)));
    // S_OK, not S_FALSE: the loader did not leave COM initialised on this thread.
    const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    outcome[1] = after == S_OK;
    // From the multithreaded apartment it works just the same.
    outcome[2] = static_cast<bool>(
        GdiObject<HBITMAP>(SHLoadImageResource(GetModuleHandleW(nullptr), IDB_TEST_BMP)));
    if (SUCCEEDED(after)) {
        CoUninitialize();
    }
    return 0;
}

TEST(ImageResource, InitialisesComForTheCallOnly) {
    DWORD outcome[3] = {};
    KernelHandle thread(CreateThread(nullptr, 0, LoadOnFreshThread, outcome, 0, nullptr));
    ASSERT_TRUE(thread);
    WaitForSingleObject(thread.get(), INFINITE);
    EXPECT_EQ(1u, outcome[0]);
    EXPECT_EQ(1u, outcome[1]);
    EXPECT_EQ(1u, outcome[2]);
}

}  // namespace
