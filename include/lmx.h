/*
 * lmx.h: machine-independent byte routines: comparison of byte strings,
 * integers to and from text, sorting, the next prime, the version string and
 * the DES block cipher with the password verifier built on it.
 *
 * Nothing here allocates or keeps state; every function is re-entrant. No
 * text output is NUL-terminated except where a function says so.
 *
 * Example: an integer to text in base 36 and back
 *
 *   char text[LMX42BMAX];
 *   int32_t value;
 *   int32_t n = lmx42b(text, -123456, -36);     ("-2n9c", n = 5)
 *   lmxb24(text, (uint32_t)n, &value, 36);      (value = -123456)
 *
 * DES. A 64-bit block or key is two uint32_t words: the first holds bits 1
 * to 32 in the standard's numbering (bit 1 its most significant bit), the
 * second bits 33 to 64. So the bytes 01 23 45 67 89 AB CD EF are the words
 * 0x01234567, 0x89ABCDEF. A key schedule is 16 subkeys of two words each
 * (LMXESCHED words): each 48-bit subkey fills bits 1 to 48 of its pair, the
 * low 16 bits of the second word being 0. Parity bits of a key are ignored.
 *
 *   uint32_t key[2] = {0x01234567, 0x89ABCDEF}, ks[LMXESCHED], b[2] = {...};
 *   lmxegks(key, ks, 1);    lmxeecb(ks, b, b);    (b enciphered in place)
 *   lmxegks(key, ks, 0);    lmxeecb(ks, b, b);    (and back)
 */
#ifndef LMX_H
#define LMX_H

#include "lx.h"
#include "tavo_api.h"

TAVO_BEGIN_DECLS

/* Buffer sizes the caller provides. */
enum {
    LMX42BMAX = 33, /* lmx42b, lmxw2b: a sign and 32 binary digits */
    LMXD2EMAX = 23, /* lmxd2e: "-1.23456789012345e-308" and its NUL */
    LMXVERLEN = 36, /* lmxver: the version text and its NUL */
    LMXESCHED = 32, /* a DES key schedule: 16 pairs of words */
    LMXEHEXLEN = 17 /* lmxelth: 16 hexadecimal digits and a NUL */
};

/* ---- Comparison ----------------------------------------------------------- */

/* Compares two byte strings as unsigned bytes. Returns 0 when they are
 * equal; otherwise +k or -k, k the 1-based position of the first byte that
 * differs (the sign orders a against b), or +(m + 1) / -(m + 1) when the
 * shorter string, of length m, is a prefix of the longer (the longer one
 * sorts after). Numbers compare in numeric order this way. */
TAVO_API int32_t lmxcmp(const void *a, uint32_t alen, const void *b, uint32_t blen) TAVO_NOEXCEPT;

/* Sets n bytes to 0. */
TAVO_API void lmxclr(void *buf, uint32_t n) TAVO_NOEXCEPT;

/* ---- Integers and text ------------------------------------------------------ */

/* Writes value in a base from 2 to 36, digits above 9 as the lower-case
 * letters a to z, most significant first, without a NUL. A positive base
 * treats value as unsigned (its 32 bits); a base of 0 or below is signed: its
 * magnitude is the base (0 means 10) and a negative value gets a leading -.
 * Returns the characters written, at most LMX42BMAX; a base whose magnitude
 * is 1 or above 36 writes nothing and returns 0. lmxw2b is the same. */
TAVO_API int32_t lmx42b(char *out, int32_t value, int32_t base) TAVO_NOEXCEPT;
TAVO_API int32_t lmxw2b(char *out, int32_t value, int32_t base) TAVO_NOEXCEPT;

/* Writes the low n hexadecimal digits of value into the n bytes of out,
 * most significant first, with 0-9 and A-F; digits past the eighth are 0.
 * Returns n. */
TAVO_API uint32_t lmx42h(char *out, uint32_t value, uint32_t n) TAVO_NOEXCEPT;

/* Reads an integer from the len bytes of text: leading white space (the C
 * library's isspace, or iswspace over multibyte characters when the locale
 * has them), one + or -, with base 16 a 0x or 0X when at least two
 * characters remain, then digits: 0-9 and the letters a-z or A-Z as 10 to
 * 35, up to the first byte that is no digit below the base. Base 0 means
 * 10. The value wraps modulo 2^32 and is negated for a -. Stores the value
 * (0 when no digit was read) in *value if value is not null and returns the
 * characters consumed, white space, sign and prefix included, or 0 when no
 * digit was read. lmxb2w is the same. */
TAVO_API int32_t lmxb24(const char *text, uint32_t len, int32_t *value, int32_t base) TAVO_NOEXCEPT;
TAVO_API int32_t lmxb2w(const char *text, uint32_t len, int32_t *value, int32_t base) TAVO_NOEXCEPT;

/* Prints value as the C library's printf "%.*e" does (its decimal point is
 * the locale's) with a + b - 1 digits after the point, kept within 0 to 14,
 * and a NUL. Returns the length of the text; out must hold LMXD2EMAX bytes,
 * or a + b + 8 when that is less. */
TAVO_API int32_t lmxd2e(char *out, double value, int32_t a, int32_t b) TAVO_NOEXCEPT;

/* ---- Sorting ---------------------------------------------------------------- */

/* A comparison: positive when the first element belongs after the second.
 * The qsort comparisons serve. */
typedef int (*lmxcmpfn)(const void *a, const void *b);
typedef int (*lmxcmpxfn)(void *context, const void *a, const void *b);

/* Heap sorts count elements of size bytes at base into ascending order; the
 * order of equal elements is not kept. lmxsrx passes context to every
 * comparison. The comparison must not change the array. Fewer than two
 * elements, or a null comparison, leave the array as it is. */
TAVO_API void lmxsrt(void *base, uint32_t count, uint32_t size, lmxcmpfn compare) TAVO_NOEXCEPT;
TAVO_API void lmxsrx(void *base, uint32_t count, uint32_t size, lmxcmpxfn compare,
                     void *context) TAVO_NOEXCEPT;

/* ---- Odds and ends -------------------------------------------------------------- */

/* The smallest prime not below value: 3 for values below 3 (so never 2),
 * and 0 above 4294967291, the largest prime below 2^32. */
TAVO_API uint32_t lmxprim(uint32_t value) TAVO_NOEXCEPT;

/* Copies "TAVO Version 3.4.2.2.2 - Production" and its NUL (LMXVERLEN
 * bytes) into buf and returns LMXVERLEN; a smaller buffer gets nothing and
 * 0 is returned. */
TAVO_API int32_t lmxver(char *buf, uint32_t size) TAVO_NOEXCEPT;

/* ---- DES ---------------------------------------------------------------------- */

/* Builds the key schedule of key: in encryption order when encrypt is
 * non-zero, else reversed, for decryption. */
TAVO_API void lmxegks(const uint32_t key[2], uint32_t schedule[LMXESCHED],
                      int32_t encrypt) TAVO_NOEXCEPT;

/* One DES block operation with the schedule in its stored order: it
 * enciphers with an encryption-order schedule and deciphers with a
 * decryption-order one. out may be in. */
TAVO_API void lmxeecb(const uint32_t schedule[LMXESCHED], const uint32_t in[2],
                      uint32_t out[2]) TAVO_NOEXCEPT;

/* The CBC checksum (CBC-MAC) of nwords words of data, taken as 64-bit
 * blocks of two words: v = iv, then v = DES(v xor block) for each block; an
 * odd last word is ignored and no block gives iv. out receives v and may be
 * iv. */
TAVO_API void lmxechk(const uint32_t schedule[LMXESCHED], const uint32_t *data, uint32_t nwords,
                      const uint32_t iv[2], uint32_t out[2]) TAVO_NOEXCEPT;

/* Reads 16 hexadecimal digits (0-9, A-F, a-f), 8 to a word, most
 * significant first. Any other byte counts as the digit 0; a NUL ends the
 * text early, the missing digits being 0. */
TAVO_API void lmxehtl(const char *hex, uint32_t out[2]) TAVO_NOEXCEPT;

/* Writes the two words as 16 upper-case hexadecimal digits and a NUL
 * (LMXEHEXLEN bytes). */
TAVO_API void lmxelth(const uint32_t in[2], char *hex) TAVO_NOEXCEPT;

/* The building blocks of a round, one byte per bit.
 *
 * A bit array of n bits is n + 1 bytes indexed from 1, each 0 or 1; index 0
 * holds 0. The sizes: a block 65 bytes, a round half 33, an expanded half or
 * subkey 49, a key half (C or D) 29. Outputs may not overlap inputs unless
 * a function says so. Composed as the standard composes them they give the
 * same results as lmxegks and lmxeecb, one bit at a time. */

/* Two words to a 64-bit array, and back. */
TAVO_API void lmxeltb(const uint32_t in[2], uint8_t bits[65]) TAVO_NOEXCEPT;
TAVO_API void lmxebtl(const uint8_t bits[65], uint32_t out[2]) TAVO_NOEXCEPT;
/* The initial permutation and its inverse (64 bits; out may be in). */
TAVO_API void lmxedip(const uint8_t in[65], uint8_t out[65]) TAVO_NOEXCEPT;
TAVO_API void lmxeuip(const uint8_t in[65], uint8_t out[65]) TAVO_NOEXCEPT;
/* Splits a block into its left (bits 1-32) and right (33-64) halves, and
 * joins them right half first, as the last step of a block operation. */
TAVO_API void lmxedlr(const uint8_t in[65], uint8_t left[33], uint8_t right[33]) TAVO_NOEXCEPT;
TAVO_API void lmxeulr(const uint8_t left[33], const uint8_t right[33],
                      uint8_t out[65]) TAVO_NOEXCEPT;
/* Exchanges the contents of the two halves. */
TAVO_API void lmxeswp(uint8_t left[33], uint8_t right[33]) TAVO_NOEXCEPT;
/* The expansion E: 32 bits to 48. */
TAVO_API void lmxede(const uint8_t in[33], uint8_t out[49]) TAVO_NOEXCEPT;
/* The eight S-boxes, 48 bits to 32: lmxesbl applies S-box number box (1 to
 * 8; another number does nothing) to bits 6 box - 5 .. 6 box of in, the row
 * from the first and sixth bit and the column from the middle four, and
 * writes the 4-bit result, most significant bit first, to bits 4 box - 3 ..
 * 4 box of out. lmxedsb applies all eight. */
TAVO_API void lmxedsb(const uint8_t in[49], uint8_t out[33]) TAVO_NOEXCEPT;
TAVO_API void lmxesbl(int32_t box, const uint8_t in[49], uint8_t out[33]) TAVO_NOEXCEPT;
/* The permutation P of 32 bits. */
TAVO_API void lmxedp(const uint8_t in[33], uint8_t out[33]) TAVO_NOEXCEPT;
/* out[i] = a[i] xor b[i] for i = 1 .. n; out may be a or b. */
TAVO_API void lmxexor(const uint8_t *a, const uint8_t *b, uint8_t *out, uint32_t n) TAVO_NOEXCEPT;
/* Rotates a 28-bit key half left by one bit, in place. */
TAVO_API void lmxerot(uint8_t half[29]) TAVO_NOEXCEPT;
/* PC-1 from a 64-bit key into its C and D halves. */
TAVO_API void lmxec1c(const uint8_t key[65], uint8_t c[29]) TAVO_NOEXCEPT;
TAVO_API void lmxec1d(const uint8_t key[65], uint8_t d[29]) TAVO_NOEXCEPT;
/* PC-2: bits 1-24 of a subkey from C, bits 25-48 from D. */
TAVO_API void lmxec2c(const uint8_t c[29], uint8_t subkey[49]) TAVO_NOEXCEPT;
TAVO_API void lmxec2d(const uint8_t d[29], uint8_t subkey[49]) TAVO_NOEXCEPT;

/* ---- Password verifier ---------------------------------------------------- */

/* Writes the verifier of a user name and a password: 16 upper-case
 * hexadecimal digits and a NUL (LMXEHEXLEN bytes) into out, and returns 16.
 *
 * The user name and then the password (lengths in bytes, no NUL needed; a
 * null text of length 0 is empty) are taken in the character set of the
 * language record lang (null: the default language) and converted two bytes
 * a character (lxtou16up, upper-casing, for mode 1; lxtou16, as they are,
 * for any other mode). Those bytes, zero-padded to whole 8-byte blocks,
 * give a CBC checksum with initial value 0 under the key 5C1E0A93D47B2F68;
 * that checksum is the key of a second checksum of the same bytes, the
 * verifier. So it depends only on the characters of the two texts, their
 * order and the mode. Texts of any length are taken whole.
 *
 * Returns 0, writing nothing, when lang is not a filled record or its
 * environment cannot be had, when out is null, or when a text is null with
 * a length above 0. The second argument is not used. */
TAVO_API int32_t lmxepw(char *out, void *unused, const char *password, uint32_t password_len,
                        const char *user, uint32_t user_len, const lxlinfo *lang,
                        int32_t mode) TAVO_NOEXCEPT;

/* lmxepw with mode 1: the verifier of the upper-cased texts. */
TAVO_API int32_t lmxepwe(char *out, void *unused, const char *password, uint32_t password_len,
                         const char *user, uint32_t user_len, const lxlinfo *lang) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LMX_H */
