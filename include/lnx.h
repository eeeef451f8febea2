/*
 * lnx.h: the 40-digit decimal number.
 *
 * A number is a self-describing byte string of 1 to 21 bytes: an exponent
 * byte, up to 20 base-100 digit bytes and, on a negative number shorter than
 * 21 bytes, a terminator byte 102. Numbers need no alignment and compare in
 * numeric order as unsigned byte strings (lmxcmp), so they are stored and
 * compared as plain bytes.
 *
 *   zero               80
 *   1                  C1 02
 *   -1                 3E 64 66
 *   100                C2 02
 *   positive infinity  FF 65
 *   negative infinity  00
 *
 * Passing numbers. Every number argument is a pointer and a 32-bit length:
 *   - length > 0: the pointer addresses the number and the length is its
 *     length (the counted form);
 *   - length 0: the pointer addresses a length byte followed by the number
 *     (the length-prefixed form);
 *   - null pointer: the length itself is the operand, a signed 32-bit
 *     integer.
 * Every number result is a destination pointer and a length pointer:
 *   - length pointer given: the number is written without a prefix and its
 *     length stored through the pointer (at most 21 bytes are written);
 *   - length pointer null: a length byte is written, then the number (the
 *     destination must hold LNXBUFLEN = 22 bytes).
 * Source and destination may be the same buffer.
 *
 * Numbers never fail: results beyond the range become an infinity of the
 * right sign, results below it become zero. Nothing here allocates, keeps
 * state or reports through the message manager; all functions are
 * re-entrant. Malformed bytes give some number, never a crash, and no
 * function reads beyond the 21 bytes of an operand or the length it is
 * given, nor writes beyond the 22 bytes of a destination.
 *
 * Example: 1 / 3 rounded to 2 places
 *
 *   uint8_t q[LNXBUFLEN], r[LNXBUFLEN];
 *   uint32_t qlen, rlen;
 *   lnxdiv(NULL, 1, NULL, 3, q, &qlen);        (q = 0.333...)
 *   lnxrou(q, (int32_t)qlen, r, &rlen, 2);     (r = C0 22, that is 0.33)
 */
#ifndef LNX_H
#define LNX_H

#include "tavo_api.h"

TAVO_BEGIN_DECLS

enum {
    LNXMAXLEN = 21, /* longest number in bytes */
    LNXBUFLEN = 22  /* a length-prefixed result: length byte and number */
};

/* Constants, each length-prefixed (length byte first). The irrational ones
 * hold 20 base-100 digits, truncated. */
TAVO_API extern const uint8_t lnxpi[];    /* 3.14159265358979323846264338327950288419 */
TAVO_API extern const uint8_t lnxe[];     /* 2.71828182845904523536028747135266249775 */
TAVO_API extern const uint8_t lnxl10[];   /* ln 10 = 2.30258509299404568401799145468436420760 */
TAVO_API extern const uint8_t lnxqten[];  /* 10 */
TAVO_API extern const uint8_t lnxqpos1[]; /* 1 */
TAVO_API extern const uint8_t lnxqneg1[]; /* -1 */
TAVO_API extern const uint8_t lnxqtwo[];  /* 2 */
TAVO_API extern const uint8_t lnxqzero[]; /* 0 */

/* ---- Tests ---------------------------------------------------------- */

/* 1 when the bytes form a valid number (the digit bytes are in range, a
 * negative number is terminated or 20 digits long), else 0. Normalisation
 * and the exponent are not checked. */
TAVO_API int32_t lnxchk(const uint8_t *num, int32_t len) TAVO_NOEXCEPT;

/* -1 negative (negative infinity included), 0 zero, 1 positive. */
TAVO_API int32_t lnxsgn(const uint8_t *num, int32_t len) TAVO_NOEXCEPT;

/* 1 an integer or zero, 2 has a fractional part, 3 positive infinity,
 * 4 negative infinity. */
TAVO_API int32_t lnxint(const uint8_t *num, int32_t len) TAVO_NOEXCEPT;

/* ---- Machine conversions -------------------------------------------- */

/* Converts the integer at value, of size 1, 2 or 4 bytes, unsigned
 * (signedness 0) or signed (1 or 2). Returns 0, or 3 (nothing written) for
 * another size or signedness. */
TAVO_API int32_t lnxmin(const void *value, uint32_t size, int32_t signedness, uint8_t *dst,
                        uint32_t *dstlen) TAVO_NOEXCEPT;

/* Converts a number to an integer of size 1, 2 or 4 bytes stored at value,
 * truncating toward zero. The low 7 bits of flags give the mode: 0 unsigned,
 * 1 or 2 signed. Returns 0 done; 1 overflow (the value is clamped to the
 * type's range, or with flag LNXSNI_NOCLAMP holds the low bits of the
 * magnitude); 2 a non-zero magnitude below 1 (0 stored); 3 a bad size or
 * mode (nothing stored). */
enum { LNXSNI_UNSIGNED = 0, LNXSNI_SIGNED = 2, LNXSNI_NOCLAMP = 0x8000 };
TAVO_API int32_t lnxsni(const uint8_t *num, int32_t len, void *value, uint32_t size,
                        uint32_t flags) TAVO_NOEXCEPT;

/* Converts the float (size 4) or double (size 8) at value to a number of 6
 * or 15 significant digits. Another size gives zero. */
TAVO_API void lnxren(const void *value, uint32_t size, uint8_t *dst,
                     uint32_t *dstlen) TAVO_NOEXCEPT;

/* Converts a number to a float (size 4) or double (size 8) stored at value;
 * an infinity or a magnitude beyond the type gives the largest finite value
 * of the type with the number's sign. Another size stores nothing. */
TAVO_API void lnxnur(const uint8_t *num, int32_t len, void *value, uint32_t size) TAVO_NOEXCEPT;

/* ---- Arithmetic ------------------------------------------------------- */

TAVO_API void lnxadd(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
TAVO_API void lnxsub(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
/* lnxadd when flag is 0, else lnxsub. */
TAVO_API void lnxqaos(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                      uint8_t *dst, uint32_t *dstlen, int32_t flag) TAVO_NOEXCEPT;
TAVO_API void lnxmul(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
/* x / 0 is an infinity with the sign of x (0 / 0 is positive infinity). */
TAVO_API void lnxdiv(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
/* num1 - num2 x trunc(num1 / num2): the remainder has the sign of num1. */
TAVO_API void lnxmod(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
/* num + n and num - n for a 32-bit integer n. */
TAVO_API void lnxqIAdd(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
                       uint32_t *dstlen) TAVO_NOEXCEPT;
TAVO_API void lnxqISub(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
                       uint32_t *dstlen) TAVO_NOEXCEPT;
TAVO_API void lnxneg(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
TAVO_API void lnxabs(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;

/* Adds 1 in place to a positive integer of at most 19 base-100 digits; any
 * other argument becomes 1. With len null the number is length-prefixed,
 * otherwise *len is its length and receives the new one. The buffer must
 * hold a number of full length (21 bytes, 22 length-prefixed). */
TAVO_API void lnxinc(uint8_t *num, uint32_t *len) TAVO_NOEXCEPT;

/* ---- Rounding ----------------------------------------------------------- */

/* Rounds half away from zero (lnxrou) or truncates toward zero (lnxtru) to
 * places decimal places; a negative count rounds to tens, hundreds, ... */
TAVO_API void lnxrou(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t places) TAVO_NOEXCEPT;
TAVO_API void lnxtru(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t places) TAVO_NOEXCEPT;
/* Rounds to digits significant decimal digits. */
TAVO_API void lnxfpr(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t digits) TAVO_NOEXCEPT;
/* The floor (ceiling 0) or the ceiling (ceiling non-zero). */
TAVO_API void lnxflo(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t ceiling) TAVO_NOEXCEPT;
/* Fits a number into a column of intdigits integer and places fractional
 * decimal digits: rounds it to places and sets *overflow to 1 when the
 * rounded value has more than intdigits integer digits, else to 0. */
TAVO_API void lnxsca(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t intdigits, int32_t places, int32_t *overflow) TAVO_NOEXCEPT;

/* ---- Unpacked forms, for code that computes on digits ---------------------
 *
 * Digit form: 22 bytes; byte 0 the digit count n (0..20), byte 1 the
 * exponent byte with its top bit cleared (65 + e; 0 for zero), bytes 2..n+1
 * the base-100 digits 0..99. An infinity unpacks with first digit 100.
 *
 * Word form: one int32_t per base-100 digit in [begin, end), the first
 * digit having the base-100 exponent given beside the run.
 *
 * Work form: an exponent byte (65 + e, top bit clear) followed by digits
 * 0..99; a first digit of 100 signals a carry out of the top (overflow).
 */

/* Unpacks into the digit form (size bytes are cleared, at most 22 used).
 * Returns 1 for a negative number, else 0. */
TAVO_API int32_t lnxqgnm(uint8_t *digits, uint32_t size, const uint8_t *num,
                         int32_t len) TAVO_NOEXCEPT;

/* Copies a number from one form of passing to another. */
TAVO_API void lnxqcop(const uint8_t *num, int32_t len, uint8_t *dst,
                      uint32_t *dstlen) TAVO_NOEXCEPT;

/* Unpacks into the word form: at most 20 words are written to words; the
 * run is [*begin, *end) and *exponent the exponent of its first word.
 * Zero gives an empty run with exponent -65, an infinity an empty run with
 * exponent 62. Returns 1 for a positive number or zero, 0 for a negative. */
TAVO_API int32_t lnxqosb(const uint8_t *num, int32_t len, int32_t *words, int32_t *exponent,
                         int32_t **begin, int32_t **end) TAVO_NOEXCEPT;

/* Packs the word run [begin, end) (words 0..99) with the given exponent
 * and sign (1 positive, 0 negative). More than 20 significant words round
 * at the 21st: up only when it is above 50. */
TAVO_API void lnxqsbo(uint8_t *dst, uint32_t *dstlen, int32_t sign, int32_t exponent,
                      const int32_t *begin, const int32_t *end) TAVO_NOEXCEPT;

/* Normalises len bytes of work form in place: leading zero digits go into
 * the exponent, trailing zeros are trimmed, more than 20 digits round half
 * up at the 21st. Returns the new length in bytes (1 for zero). */
TAVO_API int32_t lnxqnrm(uint8_t *work, int32_t len) TAVO_NOEXCEPT;

/* Normalises and packs a length-prefixed work number (work[0] its length,
 * then the exponent byte and the digits) into a number, negative when
 * negative is non-zero. The work buffer is left unchanged. */
TAVO_API void lnxqprs(const uint8_t *work, uint8_t *dst, uint32_t *dstlen,
                      int32_t negative) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LNX_H */
