/*
 * lmx.h: machine-independent byte routines: comparison of byte strings,
 * integers to and from text, sorting, the version string and the DES cipher.
 */
#ifndef LMX_H
#define LMX_H

#include "tavo_api.h"

TAVO_BEGIN_DECLS

/* Compares two byte strings as unsigned bytes. Returns 0 when they are
 * equal; otherwise +k or -k, k the 1-based position of the first byte that
 * differs (the sign orders a against b), or +(m + 1) / -(m + 1) when the
 * shorter string, of length m, is a prefix of the longer (the longer one
 * sorts after). Numbers compare in numeric order this way. */
TAVO_API int32_t lmxcmp(const void *a, uint32_t alen, const void *b, uint32_t blen) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LMX_H */
