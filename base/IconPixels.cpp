#include "base/IconPixels.h"

#include "base/Handles.h"
#include "base/Picture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr Pixel kWhite = 0x00FFFFFF;
constexpr int kEdgeGrey = 128;

int Channel(Pixel pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

Pixel Pack(int alpha, int red, int green, int blue) {
    return (static_cast<Pixel>(alpha) << 24) | (static_cast<Pixel>(red) << 16) |
           (static_cast<Pixel>(green) << 8) | static_cast<Pixel>(blue);
}

// What one drawing over black and one over white tell of a pixel: over black its premultiplied
// colour, and the white that still shows through is what it leaves uncovered.
Pixel Unblend(Pixel overBlack, Pixel overWhite) {
    int uncovered = 0;
    for (int shift : {0, 8, 16}) {
        uncovered += std::clamp(Channel(overWhite, shift) - Channel(overBlack, shift), 0, 255);
    }
    const int alpha = 255 - (uncovered + 1) / 3;
    return Pack(alpha, std::min(alpha, Channel(overBlack, 16)),
                std::min(alpha, Channel(overBlack, 8)), std::min(alpha, Channel(overBlack, 0)));
}

bool DrawOver(HICON icon, int width, int height, Pixel background, std::vector<Pixel>& out) {
    PixelView view;
    GdiObject<HBITMAP> bitmap(CreatePixelBitmap(width, height, view));
    MemoryDC dc(nullptr);
    if (!bitmap || !dc) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        std::fill_n(view.Row(y), width, background);
    }
    {
        SelectedObject selected(dc.get(), bitmap.get());
        if (!DrawIconEx(dc.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) {
            return false;
        }
    }
    GdiFlush();
    out.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        std::copy_n(view.Row(y), width, out.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    return true;
}

// The source pixels one target pixel covers along one axis, with the share of each.
struct Span {
    int first = 0;
    std::vector<double> shares;
};

std::vector<Span> CoveredSpans(int from, int to) {
    std::vector<Span> spans(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * step;
        const double end = (i + 1) * step;
        Span& span = spans[static_cast<size_t>(i)];
        span.first = static_cast<int>(std::floor(begin));
        const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
        for (int s = span.first; s <= last; ++s) {
            const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
            span.shares.push_back(std::max(0.0, covered) / (end - begin));
        }
    }
    return spans;
}

using Colour = std::array<double, 4>;  // alpha, red, green, blue; premultiplied

Colour ColourOf(Pixel pixel) {
    return {double(Channel(pixel, 24)), double(Channel(pixel, 16)), double(Channel(pixel, 8)),
            double(Channel(pixel, 0))};
}

Pixel PixelOfColour(const Colour& colour) {
    int channels[4];
    for (int c = 0; c < 4; ++c) {
        channels[c] = std::clamp(static_cast<int>(std::lround(colour[c])), 0, 255);
    }
    const int alpha = channels[0];
    return Pack(alpha, std::min(alpha, channels[1]), std::min(alpha, channels[2]),
                std::min(alpha, channels[3]));
}

}  // namespace

bool ReadIconPixels(HICON icon, int width, int height, AlphaImage& image) {
    std::vector<Pixel> overBlack;
    std::vector<Pixel> overWhite;
    if (!icon || width <= 0 || height <= 0 || !DrawOver(icon, width, height, 0, overBlack) ||
        !DrawOver(icon, width, height, kWhite, overWhite)) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.pixels.resize(overBlack.size());
    for (size_t i = 0; i < overBlack.size(); ++i) {
        image.pixels[i] = Unblend(overBlack[i], overWhite[i]);
    }
    return true;
}

AlphaImage ScaleToHeight(const AlphaImage& source, int height) {
    AlphaImage target;
    if (source.width <= 0 || source.height <= 0 || height <= 0) {
        return target;
    }
    const long long width = std::lround(static_cast<double>(source.width) * height / source.height);
    target.width = static_cast<int>(std::clamp<long long>(width, 1, 4 * height));
    target.height = height;
    const std::vector<Span> across = CoveredSpans(source.width, target.width);
    const std::vector<Span> down = CoveredSpans(source.height, target.height);
    // Across first, into rows of the target's width and the source's height.
    std::vector<Colour> rows(static_cast<size_t>(target.width) * source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < target.width; ++x) {
            const Span& span = across[static_cast<size_t>(x)];
            Colour sum = {};
            for (size_t k = 0; k < span.shares.size(); ++k) {
                const Colour c = ColourOf(source.At(span.first + static_cast<int>(k), y));
                for (int i = 0; i < 4; ++i) {
                    sum[i] += c[i] * span.shares[k];
                }
            }
            rows[static_cast<size_t>(y) * target.width + x] = sum;
        }
    }
    target.pixels.resize(static_cast<size_t>(target.width) * target.height);
    for (int y = 0; y < target.height; ++y) {
        const Span& span = down[static_cast<size_t>(y)];
        for (int x = 0; x < target.width; ++x) {
            Colour sum = {};
            for (size_t k = 0; k < span.shares.size(); ++k) {
                const Colour& c =
                    rows[static_cast<size_t>(span.first + static_cast<int>(k)) * target.width + x];
                for (int i = 0; i < 4; ++i) {
                    sum[i] += c[i] * span.shares[k];
                }
            }
            target.pixels[static_cast<size_t>(y) * target.width + x] = PixelOfColour(sum);
        }
    }
    return target;
}

std::vector<Pixel> KeyedPixels(const AlphaImage& image) {
    const Pixel key = PixelOf(kKeyColour);
    std::vector<Pixel> keyed(image.pixels.size(), key);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const Pixel pixel = image.pixels[i];
        const int alpha = Channel(pixel, 24);
        if (alpha * 2 < 255) {
            continue;
        }
        const int grey = (255 - alpha) * kEdgeGrey;
        int rgb[3];
        for (int c = 0; c < 3; ++c) {
            rgb[c] = std::min(255, Channel(pixel, 16 - 8 * c) + (grey + 127) / 255);
        }
        Pixel flat = Pack(0, rgb[0], rgb[1], rgb[2]);
        if (flat == key) {
            flat |= 0x000100;  // a shade of green the eye cannot tell, the mask can
        }
        keyed[i] = flat;
    }
    return keyed;
}
