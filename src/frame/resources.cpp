// Lookup of texts and pictures in the active resource set.
#include "frame/resources.h"

#include <atomic>
#include <string>

#include "resource_set.h"

namespace quillet::frame {

namespace {
// Chosen once at start-up; null: the built-in set.
std::atomic<const QuilletResourceSet*> g_activeSet{nullptr};

const QuilletResourceSet* ActiveSet() {
    const QuilletResourceSet* set = g_activeSet.load();
    return set != nullptr ? set : QuilletGetBuiltinResourceSet();
}
}  // namespace

std::string_view ResourceText(std::string_view key) {
    const QuilletResourceSet* set = ActiveSet();
    for (std::size_t i = 0; i < set->textCount; ++i) {
        if (key == set->texts[i].key) return set->texts[i].text;
    }
    return {};
}

std::string_view ResourceString(int id) { return ResourceText(std::to_string(id)); }

std::optional<BitmapData> ResourceBitmap(int id) {
    const QuilletResourceSet* set = ActiveSet();
    for (std::size_t i = 0; i < set->bitmapCount; ++i) {
        if (set->bitmaps[i].id == id) return BitmapData{set->bitmaps[i].data, set->bitmaps[i].size};
    }
    return std::nullopt;
}

void UseResourceSet(const QuilletResourceSet* set) { g_activeSet.store(set); }

const QuilletResourceSet* BuiltinResourceSet() { return QuilletGetBuiltinResourceSet(); }

}  // namespace quillet::frame
