// The module's resource set: texts and pictures by identifier, from the
// built-in Japanese set or from libQuillet_rs.so, as chosen at start-up.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct QuilletResourceSet;

namespace quillet::frame {

// The text of key in the active set ("202", "102.title"); empty when the set
// has no such key. Valid for the life of the process.
std::string_view ResourceText(std::string_view key);
// The string-table entry id.
std::string_view ResourceString(int id);

struct BitmapData {
    const unsigned char* data;
    std::size_t size;
};
// Picture id (157-164) of the active set.
std::optional<BitmapData> ResourceBitmap(int id);

// Makes set the active set (start-up; tests).
void UseResourceSet(const QuilletResourceSet* set);
// The built-in Japanese set.
const QuilletResourceSet* BuiltinResourceSet();

}  // namespace quillet::frame
