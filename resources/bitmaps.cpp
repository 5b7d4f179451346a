// Pictures 157-164 of the grid's option and check cells.
#include "resource_set.h"

namespace quillet::resources {

const QuilletResourceBitmap* GridBitmaps(std::size_t* count) {
    *count = 0;  // placeholder until the pictures are added
    return nullptr;
}

}  // namespace quillet::resources
