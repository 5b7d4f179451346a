// Pictures 157-164 of the grid's option and check cells: Windows BMP files
// with 8 bits per pixel and a four-colour palette, built at compile time.
// 161-164: square check box 16x16 (empty, ticked, grey empty, grey ticked).
// 157-160: round option button 15 wide, 16 high (empty, dotted, grey empty,
// grey dotted). Both resource sets share them.
#include <array>
#include <cstdint>

#include "resource_set.h"

namespace quillet::resources {

namespace {

enum Colour : unsigned char { kWhite = 0, kFrame = 1, kGrey = 2, kMark = 3 };
// Palette entries as BMP stores them: blue, green, red, reserved.
constexpr unsigned char kPalette[4][4] = {
    {255, 255, 255, 0},  // background and the face of a box
    {128, 128, 128, 0},  // frame
    {192, 192, 192, 0},  // grey face
    {0, 0, 0, 0},        // tick and dot
};

enum class Shape { Box, Round };

constexpr int kHeight = 16;
constexpr int Width(Shape shape) { return shape == Shape::Box ? 16 : 15; }
constexpr int Stride(int width) { return (width + 3) / 4 * 4; }  // rows are padded to 4 bytes
constexpr std::size_t kPixelOffset = 14 + 40 + sizeof kPalette;
constexpr std::size_t FileSize(Shape shape) {
    return kPixelOffset + static_cast<std::size_t>(Stride(Width(shape)) * kHeight);
}

// x, y from the top-left corner.
constexpr Colour BoxPixel(int x, int y, bool marked, bool grey) {
    if (x < 1 || x > 14 || y < 1 || y > 14) return kWhite;
    if (x == 1 || x == 14 || y == 1 || y == 14) return kFrame;
    if (marked && x >= 4 && x <= 11) {
        // A tick three pixels thick: down to x 6, then up to x 11.
        const int top = x <= 6 ? 7 + (x - 4) : 8 - (x - 7);
        if (y >= top && y < top + 3) return kMark;
    }
    return grey ? kGrey : kWhite;
}

constexpr Colour RoundPixel(int x, int y, bool marked, bool grey) {
    // Squared distance from the centre (7, 7.5) in half pixels.
    const int dx = 2 * x - 14;
    const int dy = 2 * y - 15;
    const int d2 = dx * dx + dy * dy;
    if (d2 > 164) return kWhite;  // outside a ring of radius about 6.2
    if (d2 > 110) return kFrame;
    if (marked && d2 <= 20) return kMark;  // a dot of radius about 2.2
    return grey ? kGrey : kWhite;
}

template <typename Array>
constexpr void Put16(Array& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<unsigned char>(value & 0xFF);
    bytes[at + 1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

template <typename Array>
constexpr void Put32(Array& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

template <Shape S, bool Marked, bool Grey>
constexpr std::array<unsigned char, FileSize(S)> MakeBitmap() {
    std::array<unsigned char, FileSize(S)> bytes{};
    const int width = Width(S);
    // BITMAPFILEHEADER
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<std::uint32_t>(FileSize(S)));
    Put32(bytes, 10, static_cast<std::uint32_t>(kPixelOffset));
    // BITMAPINFOHEADER: bottom-up rows, 8 bits per pixel, uncompressed.
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<std::uint32_t>(width));
    Put32(bytes, 22, kHeight);
    Put16(bytes, 26, 1);  // planes
    Put16(bytes, 28, 8);  // bits per pixel
    Put32(bytes, 30, 0);  // BI_RGB
    Put32(bytes, 34, static_cast<std::uint32_t>(Stride(width) * kHeight));
    Put32(bytes, 38, 2835);  // 72 dpi
    Put32(bytes, 42, 2835);
    Put32(bytes, 46, 4);  // colours used
    Put32(bytes, 50, 4);  // colours important
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) bytes[54 + 4 * i + j] = kPalette[i][j];
    }
    for (int y = 0; y < kHeight; ++y) {
        const std::size_t row =
            kPixelOffset + static_cast<std::size_t>((kHeight - 1 - y) * Stride(width));
        for (int x = 0; x < width; ++x) {
            bytes[row + static_cast<std::size_t>(x)] =
                S == Shape::Box ? BoxPixel(x, y, Marked, Grey) : RoundPixel(x, y, Marked, Grey);
        }
    }
    return bytes;
}

constexpr auto kRound = MakeBitmap<Shape::Round, false, false>();
constexpr auto kRoundDot = MakeBitmap<Shape::Round, true, false>();
constexpr auto kRoundGrey = MakeBitmap<Shape::Round, false, true>();
constexpr auto kRoundGreyDot = MakeBitmap<Shape::Round, true, true>();
constexpr auto kBox = MakeBitmap<Shape::Box, false, false>();
constexpr auto kBoxTick = MakeBitmap<Shape::Box, true, false>();
constexpr auto kBoxGrey = MakeBitmap<Shape::Box, false, true>();
constexpr auto kBoxGreyTick = MakeBitmap<Shape::Box, true, true>();

constexpr QuilletResourceBitmap kBitmaps[] = {
    {157, kRound.data(), kRound.size()},
    {158, kRoundDot.data(), kRoundDot.size()},
    {159, kRoundGrey.data(), kRoundGrey.size()},
    {160, kRoundGreyDot.data(), kRoundGreyDot.size()},
    {161, kBox.data(), kBox.size()},
    {162, kBoxTick.data(), kBoxTick.size()},
    {163, kBoxGrey.data(), kBoxGrey.size()},
    {164, kBoxGreyTick.data(), kBoxGreyTick.size()},
};

}  // namespace

const QuilletResourceBitmap* GridBitmaps(std::size_t* count) {
    *count = std::size(kBitmaps);
    return kBitmaps;
}

}  // namespace quillet::resources
