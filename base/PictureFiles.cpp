#include "base/PictureFiles.h"

#include "base/ShellHelpers.h"
#include "platform/ComObjects.h"

#include <strsafe.h>
#include <wincodec.h>

#include <cstring>
#include <cstdlib>

namespace {

// Enough for the header of any of the three kinds; a GIF whose first picture lies behind long
// extension blocks is read further.
constexpr size_t kHeaderBytes = 4096;
constexpr size_t kMaxGifSearchBytes = 256 * 1024;

unsigned Byte(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

unsigned LittleWord(const std::string& bytes, size_t at) {
    return Byte(bytes, at) | (Byte(bytes, at + 1) << 8);
}

long LittleLong(const std::string& bytes, size_t at) {
    return static_cast<long>(LittleWord(bytes, at) | (LittleWord(bytes, at + 2) << 16));
}

unsigned long BigLong(const std::string& bytes, size_t at) {
    return (static_cast<unsigned long>(Byte(bytes, at)) << 24) | (Byte(bytes, at + 1) << 16) |
           (Byte(bytes, at + 2) << 8) | Byte(bytes, at + 3);
}

bool Positive(long long width, long long height, int& outWidth, int& outHeight) {
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return false;
    }
    outWidth = static_cast<int>(width);
    outHeight = static_cast<int>(height);
    return true;
}

bool PngSize(const std::string& bytes, int& width, int& height) {
    static const char kSignature[] = "\x89PNG\r\n\x1A\n";
    return bytes.size() >= 24 && bytes.compare(0, 8, kSignature, 8) == 0 &&
           bytes.compare(12, 4, "IHDR") == 0 &&
           Positive(BigLong(bytes, 16), BigLong(bytes, 20), width, height);
}

bool BmpSize(const std::string& bytes, int& width, int& height) {
    if (bytes.size() < 26 || bytes.compare(0, 2, "BM") != 0) {
        return false;
    }
    if (LittleLong(bytes, 14) == 12) {  // the old core header: 16-bit sizes
        return Positive(LittleWord(bytes, 18), LittleWord(bytes, 20), width, height);
    }
    // A negative height is a top-down bitmap of that many rows.
    return Positive(LittleLong(bytes, 18), std::llabs(LittleLong(bytes, 22)), width, height);
}

// The first image descriptor's size, past the colour table and any extension blocks.
bool GifSize(const std::string& bytes, int& width, int& height) {
    if (bytes.size() < 13 ||
        (bytes.compare(0, 6, "GIF87a") != 0 && bytes.compare(0, 6, "GIF89a") != 0)) {
        return false;
    }
    const unsigned flags = Byte(bytes, 10);
    size_t at = 13 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0);
    while (at < bytes.size()) {
        const unsigned block = Byte(bytes, at);
        if (block == 0x2C) {
            return at + 9 <= bytes.size() &&
                   Positive(LittleWord(bytes, at + 5), LittleWord(bytes, at + 7), width, height);
        }
        if (block != 0x21 || at + 2 >= bytes.size()) {
            return false;  // the trailer, or damage, before any picture
        }
        at += 2;  // introducer and label, then sub-blocks up to an empty one
        while (at < bytes.size() && Byte(bytes, at) != 0) {
            at += 1 + Byte(bytes, at);
        }
        ++at;
    }
    return false;
}

bool EncodePng(const wchar_t* path, int width, int height, const std::vector<Pixel>& pixels) {
    ComScope com;
    ComObject<IWICImagingFactory> factory;
    ComObject<IWICStream> stream;
    ComObject<IWICBitmapEncoder> encoder;
    ComObject<IWICBitmapFrameEncode> frame;
    if (!com.ok() ||
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.put_void())) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromFilename(path, GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.put(), nullptr)) ||
        FAILED(frame->Initialize(nullptr)) || FAILED(frame->SetSize(width, height))) {
        return false;
    }
    // Opaque: the key colour, not an alpha channel, is what is transparent.
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) ||
        !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        return false;
    }
    const UINT stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y) {
        BYTE* row = rows.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const Pixel pixel = pixels[static_cast<size_t>(y) * width + x];
            row[3 * x] = static_cast<BYTE>(pixel);
            row[3 * x + 1] = static_cast<BYTE>(pixel >> 8);
            row[3 * x + 2] = static_cast<BYTE>(pixel >> 16);
        }
    }
    return SUCCEEDED(
               frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool PictureSizeOf(const std::string& bytes, int& width, int& height) {
    return PngSize(bytes, width, height) || BmpSize(bytes, width, height) ||
           GifSize(bytes, width, height);
}

bool ReadPictureSize(const wchar_t* path, int& width, int& height) {
    std::string bytes;
    if (!ReadFileBytes(path, kHeaderBytes, false, bytes)) {
        return false;
    }
    if (PictureSizeOf(bytes, width, height)) {
        return true;
    }
    return bytes.size() == kHeaderBytes && bytes.compare(0, 3, "GIF") == 0 &&
           ReadFileBytes(path, kMaxGifSearchBytes, false, bytes) && GifSize(bytes, width, height);
}

bool WritePngFile(const wchar_t* path, int width, int height, const std::vector<Pixel>& pixels) {
    wchar_t partial[MAX_PATH];
    if (!path || width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * height ||
        FAILED(StringCchPrintfW(partial, MAX_PATH, L"%s.%lu.part", path, GetCurrentThreadId()))) {
        return false;
    }
    // The encoder's stream is closed before the file is moved.
    const bool written = EncodePng(partial, width, height, pixels);
    if (written && MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    DeleteFileW(partial);
    return false;
}
