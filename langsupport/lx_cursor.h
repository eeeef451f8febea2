// What the cursor, output and reading code share.
#pragma once

#include "langsupport/lx_internal.h"

namespace tavo::lx {

constexpr uint16_t kOutputCursor = 1;

// The cursor's set, null for a null cursor or one that was never opened.
inline const Charset *cursor_set(const lxcur *c) {
    return c ? charset(c->cs) : nullptr;
}

inline bool at_end(const lxcur *c) {
    return !c->text || c->pos >= c->len;
}

// The character at the cursor; the cursor must not be at its end.
inline Char current(const Charset &cs, const lxcur *c) {
    return decode(cs, c->text + c->pos, c->len - c->pos);
}

int32_t open_cursor(lxcur *c, const void *text, uint32_t len, lxwork *w, uint16_t flags);
uint32_t utf8_count(const uint8_t *s, size_t n);

}  // namespace tavo::lx
