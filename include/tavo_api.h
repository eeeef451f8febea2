/*
 * tavo_api.h: what every public header of libtavo34 shares.
 *
 * TAVO_API marks a name that the library exports. The library is built with
 * hidden visibility, so only names carrying it (and listed in the linker
 * version script) are visible to programs.
 */
#ifndef TAVO_API_H
#define TAVO_API_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define TAVO_API
#elif defined(__GNUC__)
#define TAVO_API __attribute__((visibility("default")))
#else
#define TAVO_API
#endif

#ifdef __cplusplus
#define TAVO_BEGIN_DECLS extern "C" {
#define TAVO_END_DECLS }
#define TAVO_NOEXCEPT noexcept
#else
#define TAVO_BEGIN_DECLS
#define TAVO_END_DECLS
#define TAVO_NOEXCEPT
#endif

#endif /* TAVO_API_H */
