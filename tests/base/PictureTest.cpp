#include "base/Picture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::kKeyRgb;
using testsupport::MakeBmp;
using testsupport::MakeGif;
using testsupport::Pixels;
using testsupport::ReadPixels;
using testsupport::TempDir;

namespace {

constexpr UINT kGifId = 77;

// A copy of this executable with one more image resource of type "GIF", loaded as data; null
// when it cannot be made.
HMODULE CopyWithGifResource(const TempDir& dir, UINT id, const std::string& bytes) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = dir.path() + L"resources.exe";
    HANDLE update =
        CopyFileW(self, copy.c_str(), FALSE) ? BeginUpdateResourceW(copy.c_str(), FALSE) : nullptr;
    if (!update) {
        return nullptr;
    }
    const bool added = UpdateResourceW(
        update, L"GIF", MAKEINTRESOURCEW(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
        const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    return EndUpdateResourceW(update, !added) && added
               ? LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)
               : nullptr;
}

// A 3 by 2 GIF: red, green, blue / blue, green, red.
std::string SmallGif() {
    const unsigned palette[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    const unsigned char indices[6] = {0, 1, 2, 2, 1, 0};
    return MakeGif(3, 2, indices, palette, 3);
}

// A 7 by 4 BMP of grey levels.
std::string SmallBmp() {
    unsigned pixels[28];
    for (int i = 0; i < 28; ++i) {
        pixels[i] = 0x010101u * (i * 9);
    }
    return MakeBmp(7, 4, pixels);
}

bool Exists(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

class PictureTest : public testing::Test {
protected:
    void SetUp() override {
        bmpPath = dir.WriteFile(L"grey.bmp", SmallBmp());
        ASSERT_NE(nullptr, module.get());
    }

    TempDir dir;
    testsupport::OwnedModule module{CopyWithGifResource(dir, kGifId, SmallGif())};
    std::wstring bmpPath;
};

TEST_F(PictureTest, LoadChoosesFileOrResourceByModuleAndId) {
    const std::wstring missing = dir.path() + L"missing.bmp";
    const struct {
        const wchar_t* path;
        HINSTANCE module;
        UINT id;
        int width;
        int height;
    } cases[] = {
        {bmpPath.c_str(), nullptr, 0, 7, 4},
        {bmpPath.c_str(), module.get(), kGifId, 3, 2},  // the path is ignored
        {nullptr, module.get(), kGifId, 3, 2},
        {bmpPath.c_str(), nullptr, kGifId, 0, 0},  // no module but an id: nothing
        {bmpPath.c_str(), module.get(), kGifId + 1, 0, 0},
        {missing.c_str(), nullptr, 0, 0, 0},
        {nullptr, nullptr, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        Picture picture;
        picture.Load(nullptr, c.path, c.module, c.id);
        EXPECT_EQ(c.width != 0, picture.IsLoaded());
        EXPECT_EQ(c.width, picture.width);
        EXPECT_EQ(c.height, picture.height);
    }
}

TEST_F(PictureTest, LoadingAgainDeletesTheOldBitmapAlsoWhenTheNewLoadFails) {
    Picture picture;
    picture.Load(nullptr, bmpPath.c_str(), nullptr, 0);
    HBITMAP first = picture.bitmap;
    ASSERT_TRUE(Exists(first));
    picture.Load(nullptr, nullptr, module.get(), kGifId);
    EXPECT_FALSE(Exists(first));
    const std::vector<COLORREF> gif = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                       RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 0, 0)};
    EXPECT_EQ(gif, ReadPixels(picture.bitmap).colours);
    HBITMAP second = picture.bitmap;
    picture.Load(nullptr, (dir.path() + L"missing.gif").c_str(), nullptr, 0);
    EXPECT_FALSE(Exists(second));
    EXPECT_FALSE(picture.IsLoaded());
    EXPECT_EQ(0, picture.width);
    EXPECT_EQ(0, picture.height);
}

TEST_F(PictureTest, AttachOwnsTheBitmapAndReleaseKeepsTheSize) {
    HBITMAP a = CreateBitmap(9, 5, 1, 32, nullptr);
    HBITMAP b = CreateBitmap(2, 11, 1, 32, nullptr);
    {
        Picture picture;
        picture.Attach(a);
        picture.Attach(a);  // the same bitmap again stays alive
        EXPECT_TRUE(Exists(a));
        EXPECT_EQ(9, picture.width);
        EXPECT_EQ(5, picture.height);
        picture.Attach(b);
        EXPECT_FALSE(Exists(a));
        picture.Release();
        EXPECT_FALSE(Exists(b));
        EXPECT_FALSE(picture.IsLoaded());
        EXPECT_EQ(2, picture.width);
        EXPECT_EQ(11, picture.height);
        picture.Attach(nullptr);
        EXPECT_EQ(0, picture.width);
        picture.Attach(a = CreateBitmap(4, 4, 1, 32, nullptr));
    }
    EXPECT_FALSE(Exists(a));  // the destructor released it
}

TEST_F(PictureTest, MaskIsBlackExactlyWhereTheTopLeftColourIs) {
    const struct {
        const char* what;
        unsigned pixels[8];
    } images[] = {
        {"key colour in the corner",
         {kKeyRgb, 0x810080, 0x7F0080, 0x800180, kKeyRgb, 0x800081, 0x80007F, kKeyRgb}},
        {"opaque corner",
         {0x102030, kKeyRgb, 0x102031, 0x102030, 0x112030, 0x000000, 0xFFFFFF, 0x102030}},
    };
    for (const auto& image : images) {
        SCOPED_TRACE(image.what);
        const std::wstring path = dir.WriteFile(L"mask.bmp", MakeBmp(4, 2, image.pixels));
        Picture picture;
        picture.Load(nullptr, path.c_str(), nullptr, 0);
        ASSERT_TRUE(picture.IsLoaded());
        const std::vector<COLORREF> before = ReadPixels(picture.bitmap).colours;

        GdiObject<HBITMAP> mask(picture.MakeMask());
        const Pixels maskPixels = ReadPixels(mask.get());
        EXPECT_EQ(4, maskPixels.width);
        EXPECT_EQ(2, maskPixels.height);
        ASSERT_EQ(8u, maskPixels.colours.size());
        for (int i = 0; i < 8; ++i) {
            const bool key = image.pixels[i] == image.pixels[0];
            EXPECT_EQ(key ? RGB(0, 0, 0) : RGB(255, 255, 255), maskPixels.colours[i])
                << "pixel " << i;
        }
        EXPECT_EQ(before, ReadPixels(picture.bitmap).colours);
    }
    Picture empty;
    EXPECT_EQ(nullptr, empty.MakeMask());
}

TEST_F(PictureTest, TwoHundredLoadsLeakNoGdiObject) {
    const std::wstring gifPath = dir.WriteFile(L"small.gif", SmallGif());
    const std::wstring badPath = dir.WriteFile(L"bad.png", "not a picture");
    auto loadSome = [&](int count) {
        Picture held;
        for (int i = 0; i < count; ++i) {
            switch (i % 4) {
            case 0: held.Load(nullptr, bmpPath.c_str(), nullptr, 0); break;
            case 1: held.Load(nullptr, nullptr, module.get(), kGifId); break;
            case 2: held.Load(nullptr, badPath.c_str(), nullptr, 0); break;
            case 3: held.Load(nullptr, gifPath.c_str(), nullptr, 0); break;
            }
            if (i % 10 == 3) {
                DeleteObject(held.MakeMask());
            }
        }
    };
    loadSome(4);  // the codecs and the screen's device context settle in first
    const int before = testsupport::FreeGdiCapacity();
    loadSome(200);
    EXPECT_EQ(before, testsupport::FreeGdiCapacity());
}

}  // namespace
