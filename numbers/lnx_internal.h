/*
 * Number operations with a 32-bit machine integer as the second operand,
 * shared by the number code but not exported: num x n, num / n, num mod n.
 */
#ifndef TAVO_NUMBERS_LNX_INTERNAL_H
#define TAVO_NUMBERS_LNX_INTERNAL_H

#include "tavo_api.h"

TAVO_BEGIN_DECLS

void lnxqIMul(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
              uint32_t *dstlen) TAVO_NOEXCEPT;
void lnxqIDiv(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
              uint32_t *dstlen) TAVO_NOEXCEPT;
void lnxqIMod(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
              uint32_t *dstlen) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* TAVO_NUMBERS_LNX_INTERNAL_H */
