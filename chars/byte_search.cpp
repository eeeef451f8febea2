// Substring search in two gears. The first compares three bytes of the
// pattern with 32 text positions at a time and checks the few positions
// where all three agree; it is fast on text but can be made to check
// many candidates. Once the checking has cost more than a few times the
// distance covered, the rest of the search goes to two-way string matching
// (Crochemore and Perrin), linear in constant space whatever the bytes,
// with a bad-character shift on the window's last byte.
#include "chars/byte_search.hpp"

#include <algorithm>
#include <array>
#include <cstring>

#include "chars/simd.hpp"

namespace tavo::chars {
namespace {

struct Factorization {
    ptrdiff_t left_end;  // last index of the left part (-1: empty)
    size_t period;       // the period of the right part
};

// The maximal suffix of pat under byte order (or its reverse): the index
// just before it and its period.
Factorization maximal_suffix(const uint8_t *pat, size_t m, bool reverse_order) {
    ptrdiff_t ms = -1;
    size_t j = 0, k = 1, p = 1;
    while (j + k < m) {
        const uint8_t a = pat[j + k];
        const uint8_t b = pat[static_cast<size_t>(ms + static_cast<ptrdiff_t>(k))];
        if (reverse_order ? a > b : a < b) {
            j += k;
            k = 1;
            p = j - static_cast<size_t>(ms);
        } else if (a == b) {
            if (k != p) {
                ++k;
            } else {
                j += p;
                k = 1;
            }
        } else {
            ms = static_cast<ptrdiff_t>(j);
            j = j + 1;
            k = p = 1;
        }
    }
    return {ms, p};
}

// The critical factorisation: the later of the two maximal suffixes.
Factorization critical_factorization(const uint8_t *pat, size_t m) {
    const Factorization a = maximal_suffix(pat, m, false);
    const Factorization b = maximal_suffix(pat, m, true);
    return a.left_end > b.left_end ? a : b;
}

using ShiftTable = std::array<uint32_t, 256>;

// How far the window may move when its last byte is c: the distance from
// the last occurrence of c in the pattern to the pattern's end.
void build_shifts(ShiftTable &shift, const uint8_t *pat, size_t m) {
    const auto cap = static_cast<uint32_t>(std::min<size_t>(m, UINT32_MAX));
    shift.fill(cap);
    for (size_t i = 0; i < m; ++i)
        shift[pat[i]] = static_cast<uint32_t>(std::min<size_t>(m - 1 - i, UINT32_MAX));
}

// A pattern that is a power of its period (it equals itself shifted by
// the period over its left part): after a full match of the right part the
// window moves one period and remembers how much of its start is known to
// match, so no byte is compared twice.
size_t find_periodic(const uint8_t *text, size_t n, const uint8_t *pat, size_t m,
                     const ShiftTable &shift, Factorization f) {
    const ptrdiff_t ell = f.left_end;
    const size_t per = f.period;
    ptrdiff_t memory = -1;  // last index of the window's start known to match
    size_t j = 0;
    while (j <= n - m) {
        size_t s = shift[text[j + m - 1]];
        if (s != 0) {
            // The last period is out of place: no match can start before
            // the end of the part known to match.
            if (memory >= 0 && s < per) s = m - per;
            memory = -1;
            j += s;
            continue;
        }
        auto i = static_cast<size_t>(std::max(ell, memory) + 1);
        while (i < m && pat[i] == text[i + j]) ++i;
        if (i >= m) {
            ptrdiff_t l = ell;
            while (l > memory && pat[l] == text[static_cast<size_t>(l) + j]) --l;
            if (l <= memory) return j;
            j += per;
            memory = static_cast<ptrdiff_t>(m - per) - 1;
        } else {
            j += i - static_cast<size_t>(ell);
            memory = -1;
        }
    }
    return n;
}

// Any other pattern: the right part is scanned forward, then the left part
// backward; a mismatch moves the window past what it proved impossible.
size_t find_aperiodic(const uint8_t *text, size_t n, const uint8_t *pat, size_t m,
                      const ShiftTable &shift, Factorization f) {
    const ptrdiff_t ell = f.left_end;
    const auto left = static_cast<size_t>(ell + 1);
    const size_t per = std::max(left, m - left) + 1;
    size_t j = 0;
    while (j <= n - m) {
        if (const size_t s = shift[text[j + m - 1]]; s != 0) {
            j += s;
            continue;
        }
        size_t i = left;
        while (i < m && pat[i] == text[i + j]) ++i;
        if (i >= m) {
            ptrdiff_t l = ell;
            while (l >= 0 && pat[l] == text[static_cast<size_t>(l) + j]) --l;
            if (l < 0) return j;
            j += per;
        } else {
            j += i - static_cast<size_t>(ell);
        }
    }
    return n;
}

}  // namespace

size_t two_way_find(const uint8_t *text, size_t n, const uint8_t *pat, size_t m) {
    if (m > n) return n;
    ShiftTable shift;
    build_shifts(shift, pat, m);
    const Factorization f = critical_factorization(pat, m);
    const auto left = static_cast<size_t>(f.left_end + 1);
    if (std::memcmp(pat, pat + f.period, left) == 0)
        return find_periodic(text, n, pat, m, shift, f);
    return find_aperiodic(text, n, pat, m, shift, f);
}

namespace {

// Three bytes of the pattern that a candidate position must show before
// the rest is compared: its first, its middle and its last.
struct Probe {
    size_t mid;
    uint8_t first, middle, last;
};

Probe make_probe(const uint8_t *pat, size_t m) {
    return {m / 2, pat[0], pat[m / 2], pat[m - 1]};
}

bool shows_probe(const uint8_t *at, const Probe &p, size_t m) {
    return at[0] == p.first && at[p.mid] == p.middle && at[m - 1] == p.last;
}

// The first block of 32 start positions, from start on, in which some
// position shows the probe (start + 32 <= starts when one is found, else
// the first start past the whole blocks).
TAVO_SIMD_CLONES size_t next_candidate_block(const uint8_t *text, size_t start, size_t starts,
                                             const Probe &p, size_t m) {
    using namespace simd;
    const Bytes32 f = splat(p.first), c = splat(p.middle), l = splat(p.last);
    size_t i = start;
    for (; starts - i >= kWidth; i += kWidth) {
        const Bytes32 hits = equal(load(text + i), f) & equal(load(text + i + m - 1), l) &
                             equal(load(text + i + p.mid), c);
        if (any(hits)) break;
    }
    return i;
}

}  // namespace

size_t find_bytes(const uint8_t *text, size_t n, const uint8_t *pat, size_t m) {
    if (m > n) return n;
    if (m == 1) {
        const void *hit = std::memchr(text, pat[0], n);
        return hit ? static_cast<size_t>(static_cast<const uint8_t *>(hit) - text) : n;
    }
    const size_t starts = n - m + 1;  // positions where the pattern fits
    const Probe probe = make_probe(pat, m);
    // Bytes compared at candidates so far. Checking may cost four times the
    // distance covered, plus a little: past that, two-way matching takes
    // the rest, so a search costs O(distance to the match + m) even when
    // the callers search again and again after each match.
    size_t work = 0;
    size_t i = 0;
    while (i < starts) {
        i = next_candidate_block(text, i, starts, probe, m);
        const size_t block_end = std::min(i + simd::kWidth, starts);
        for (size_t k = i; k < block_end; ++k) {
            if (!shows_probe(text + k, probe, m)) continue;
            if (std::memcmp(text + k + 1, pat + 1, m - 2) == 0) return k;
            work += m;
            if (work > 4 * k + 2 * m + 256)
                return k + 1 + two_way_find(text + k + 1, n - k - 1, pat, m);
        }
        i = block_end;
    }
    return n;
}

}  // namespace tavo::chars
