// Heap sorts of fixed-size elements under a caller's comparison.
#include "lmx.h"
#include "sosd.h"

namespace {

// Elements are numbered from 1, as the heap arithmetic wants: element i
// lives at base + (i - 1) * size, its children are 2i and 2i + 1.
template <typename Compare>
class Heap {
  public:
    Heap(void *base, uint32_t size, Compare compare)
        : base_(static_cast<unsigned char *>(base)), size_(size), compare_(compare) {}

    void sort(uint32_t count) {
        for (uint32_t i = 2; i <= count; ++i) sift_up(i);
        for (uint32_t k = count; k >= 2; --k) {
            swap(1, k);
            sift_down(k - 1);
        }
    }

  private:
    unsigned char *at(uint32_t i) const { return base_ + size_t{i - 1} * size_; }
    bool after(uint32_t i, uint32_t j) const { return compare_(at(i), at(j)) > 0; }
    void swap(uint32_t i, uint32_t j) const { slcswap(at(i), at(j), size_); }

    void sift_up(uint32_t i) const {
        while (i > 1 && after(i, i / 2)) {
            swap(i, i / 2);
            i /= 2;
        }
    }

    // Restores the heap order of elements 1 .. last from the root down.
    void sift_down(uint32_t last) const {
        uint32_t j = 1;
        while (uint64_t{2} * j <= last) {
            uint32_t child = 2 * j;
            if (child + 1 <= last && !after(child, child + 1)) ++child;
            if (!after(child, j)) return;
            swap(child, j);
            j = child;
        }
    }

    unsigned char *base_;
    size_t size_;
    Compare compare_;
};

template <typename Compare>
void heap_sort(void *base, uint32_t count, uint32_t size, Compare compare) {
    if (base == nullptr || count < 2) return;
    Heap<Compare>(base, size, compare).sort(count);
}

}  // namespace

extern "C" {

TAVO_API void lmxsrt(void *base, uint32_t count, uint32_t size, lmxcmpfn compare) noexcept {
    if (compare == nullptr) return;
    heap_sort(base, count, size, [compare](const void *a, const void *b) { return compare(a, b); });
}

TAVO_API void lmxsrx(void *base, uint32_t count, uint32_t size, lmxcmpxfn compare,
                     void *context) noexcept {
    if (compare == nullptr) return;
    heap_sort(base, count, size,
              [compare, context](const void *a, const void *b) { return compare(context, a, b); });
}

}  // extern "C"
