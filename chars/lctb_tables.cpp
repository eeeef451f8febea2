// Lookups in arrays of (name, value) entries.
#include <cstring>

#include "lc.h"

namespace {

int compare_names(const char *a, const char *b, bool ignore_case) {
    // strcmp orders by unsigned bytes.
    return ignore_case ? lcslcomp(a, b) : std::strcmp(a, b);
}

}  // namespace

extern "C" {

TAVO_API const char *lctbnam(const lctbent *table, uint32_t count, int32_t value) noexcept {
    if (table == nullptr) return nullptr;
    for (uint32_t i = 0; i < count; ++i)
        if (table[i].value == value) return table[i].name;
    return nullptr;
}

TAVO_API int32_t lctbval(const lctbent *table, uint32_t count, const char *name,
                         int32_t ignore_case) noexcept {
    if (table == nullptr || name == nullptr) return 0;
    size_t lo = 0, hi = count;  // the name, if present, is in [lo, hi)
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        const int c = compare_names(name, table[mid].name, ignore_case != 0);
        if (c == 0) return table[mid].value;
        if (c < 0) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return 0;
}

}  // extern "C"
