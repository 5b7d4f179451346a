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

// String-table entries the module uses by number (the number is also the
// objectName of the message box that shows one).
inline constexpr int kStringNoDataRoot = 201;
inline constexpr int kStringNotSetUp = 202;
inline constexpr int kStringNameTooLong = 203;
inline constexpr int kStringAskRegisterMaster = 204;
inline constexpr int kStringAskLoadMaster = 205;
// The driver settings grid's headers: On/Off, the item's name, "Value" (the
// grid appends 1 or 2) and the three timing columns.
inline constexpr int kStringGridOnOff = 300;
inline constexpr int kStringGridName = 301;
inline constexpr int kStringGridValue = 302;
inline constexpr int kStringGridJustBefore = 303;
inline constexpr int kStringGridJustAfter = 304;
inline constexpr int kStringGridAfterLast = 305;
inline constexpr int kStringBadDriverFile = 488;

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
