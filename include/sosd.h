/*
 * sosd.h: the exported routines of the operating-system layer.
 *
 * Everything that talks to the operating system lives behind this layer;
 * the portable code reaches it only through these names.
 */
#ifndef SOSD_H
#define SOSD_H

#include "ldx.h"
#include "tavo_api.h"

TAVO_BEGIN_DECLS

/* Exchanges n bytes between a and b, byte by byte from the start; n = 0
 * does nothing. Overlapping buffers get exactly what that ascending walk
 * gives. */
TAVO_API void slcswap(void *a, void *b, uint32_t n) TAVO_NOEXCEPT;

/* The current date and time: the context's fixed date (and 0 milliseconds)
 * when it holds one (ldxfxd), else the local wall-clock time, with the
 * milliseconds into the second stored through ms (when not null). */
TAVO_API void sldxgd(ldxctx *ctx, ldxdate *date, int32_t *ms) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* SOSD_H */
