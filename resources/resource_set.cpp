// Assembles one language's resource set from its parts. Compiled once per
// language with QUILLET_RESOURCE_LANG set to ja or en.
#include <vector>

#include "parts.h"
#include "resource_set.h"

#if QUILLET_RESOURCE_LANG_EN
namespace lang = quillet::resources::en;
#define QUILLET_SET_FUNCTION QuilletGetResourceSet
#define QUILLET_SET_VISIBILITY __attribute__((visibility("default")))
#else
namespace lang = quillet::resources::ja;
#define QUILLET_SET_FUNCTION QuilletGetBuiltinResourceSet
#define QUILLET_SET_VISIBILITY
#endif

extern "C" QUILLET_SET_VISIBILITY const QuilletResourceSet* QUILLET_SET_FUNCTION(void) {
    static const QuilletResourceSet set = [] {
        static std::vector<QuilletResourceText> texts;
        for (const quillet::resources::TextTable& table :
             {lang::kStringTable, quillet::resources::kParameterDescriptions, lang::kDialog102,
              lang::kDialog129, lang::kDriverDialogs}) {
            for (std::size_t i = 0; i < table.count; ++i) {
                if (table.entries[i].key[0] != '\0') texts.push_back(table.entries[i]);
            }
        }
        std::size_t bitmapCount = 0;
        const QuilletResourceBitmap* bitmaps = quillet::resources::GridBitmaps(&bitmapCount);
        return QuilletResourceSet{texts.data(), texts.size(), bitmaps, bitmapCount};
    }();
    return &set;
}
