// The layout of a resource set: the built-in Japanese set inside libQuillet.so
// and the English set of libQuillet_rs.so share it, so that the module finds
// every text and picture by the same identifier in either.
//
// Keys: string-table entries by their decimal id ("201", "488"); dialog
// texts by "<template>.<name>" ("102.title", "102.1001", "129.label.value").
#pragma once

#include <cstddef>

extern "C" {

struct QuilletResourceText {
    const char* key;
    const char* text;  // UTF-8
};

struct QuilletResourceBitmap {
    int id;                     // 157 to 164
    const unsigned char* data;  // a Windows BMP file, 8 bits per pixel
    std::size_t size;
};

struct QuilletResourceSet {
    const QuilletResourceText* texts;
    std::size_t textCount;
    const QuilletResourceBitmap* bitmaps;
    std::size_t bitmapCount;
};

// Exported by libQuillet_rs.so (and, for the built-in set, defined inside
// libQuillet.so under another name).
const QuilletResourceSet* QuilletGetResourceSet(void);
// The built-in Japanese set inside libQuillet.so.
const QuilletResourceSet* QuilletGetBuiltinResourceSet(void);
}

namespace quillet::resources {

// One part of a set's text table; each area of the module keeps its own.
struct TextTable {
    const QuilletResourceText* entries;
    std::size_t count;
};

template <std::size_t N>
constexpr TextTable MakeTable(const QuilletResourceText (&entries)[N]) {
    return TextTable{entries, N};
}

// The descriptions of the PDL laser parameters (400-487), the same in both sets.
extern const TextTable kParameterDescriptions;

// The pictures of the grid's check and option cells, the same in both sets.
const QuilletResourceBitmap* GridBitmaps(std::size_t* count);

}  // namespace quillet::resources
