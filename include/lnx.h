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

/* ---- Transcendental functions ----------------------------------------
 * Computed in decimal to close to the full 20 base-100 digits. Results that
 * do not exist (root or logarithm of a negative number, a fractional power
 * of a negative number) are negative infinity. Angles are in radians. */

TAVO_API void lnxsqr(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
/* num raised to a machine integer; any base to 0 is 1. */
TAVO_API void lnxpow(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t exponent) TAVO_NOEXCEPT;
/* base raised to a number. */
TAVO_API void lnxbex(const uint8_t *base, int32_t baselen, const uint8_t *exponent, int32_t explen,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
TAVO_API void lnxln(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;
/* Logarithm of num to the base. */
TAVO_API void lnxlog(const uint8_t *base, int32_t baselen, const uint8_t *num, int32_t len,
                     uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;

/* Function codes of lnxqtra and lnxqtri. */
enum {
    LNXTRA_COS = 0,
    LNXTRA_SIN = 1,
    LNXTRA_TAN = 2,
    LNXTRA_COSH = 3,
    LNXTRA_SINH = 4,
    LNXTRA_TANH = 5,
    LNXTRA_EXP = 6,
    LNXTRI_ASIN = 0,
    LNXTRI_ACOS = 1,
    LNXTRI_ATAN = 2
};

TAVO_API void lnxqtra(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                      int32_t code) TAVO_NOEXCEPT;
/* Returns 0, or -1 (nothing written) for an arc sine or arc cosine of an
 * argument outside [-1, 1]. */
TAVO_API int32_t lnxqtri(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                         int32_t code) TAVO_NOEXCEPT;
/* The angle of the point (x, y); -1 (nothing written) when both are zero. */
TAVO_API int32_t lnxatn2(const uint8_t *y, int32_t ylen, const uint8_t *x, int32_t xlen,
                         uint8_t *dst, uint32_t *dstlen) TAVO_NOEXCEPT;

/* ---- Format models and text -------------------------------------------
 * A language handle is a language information record of lx.h; a null
 * handle selects the defaults (period, comma, ASCII). */

struct lxlinfo;
struct ldxctx;

/* Parsed number format model, filled by lnxpfl. */
typedef struct lnxfmt {
    uint32_t flags;     /* LNXFMT_* */
    uint8_t intpos;     /* digit positions before the decimal position */
    uint8_t fracpos;    /* digit positions after it */
    uint8_t width;      /* output width in characters */
    uint8_t lzcount;    /* integer positions from the first 0 on, 0 if none */
    uint8_t minfrac;    /* fraction digits always printed */
    uint8_t septab[39]; /* separators: digit positions to their left, +0x80 for G; 0 ends */
} lnxfmt;

enum {
    LNXFMT_MI = 0x1,
    LNXFMT_DOLLAR = 0x2,
    LNXFMT_PR = 0x4,
    LNXFMT_BLANK = 0x8,
    LNXFMT_DATE = 0x10,
    LNXFMT_EDATE = 0x20, /* with LNXFMT_DATE */
    LNXFMT_EEEE = 0x40,
    LNXFMT_PARSED = 0x80,
    LNXFMT_SLEAD = 0x100,
    LNXFMT_STRAIL = 0x200,
    LNXFMT_CURLEAD = 0x400,
    LNXFMT_CURTRAIL = 0x800,
    LNXFMT_CURMID = 0x1000,
    LNXFMT_ROMAN = 0x2000,
    LNXFMT_ROMANLOWER = 0x4000, /* with LNXFMT_ROMAN */
    LNXFMT_ISO = 0x8000,
    LNXFMT_NODECIMAL = 0x10000,
    LNXFMT_PERIOD = 0x20000,
    LNXFMT_NOFM = 0x40000,
    LNXFMT_PT = 0x80000,
    LNXFMT_FIVE = 0x100000
};

/* Character tables indexed by role: digits 0-9, + - blank . , $ < > ( ) # ~,
 * then "bcdefgilmprstv" and "BCEILMPRST" (46 characters). */
TAVO_API extern const uint8_t lnxqasc_chars[];
TAVO_API extern const uint8_t lnxqebc_chars[];
TAVO_API extern uint8_t lnxqcom_chars[];

/* Compiled date models for the "date" (MM/DD/YY) and "edate" (DD/MM/YY)
 * models: without a handle, for an ASCII handle, for an EBCDIC handle. */
TAVO_API extern const uint8_t lnxqdate[];
TAVO_API extern const uint8_t lnxqedate[];
TAVO_API extern const uint8_t lnxqa_date[];
TAVO_API extern const uint8_t lnxqa_edate[];
TAVO_API extern const uint8_t lnxqe_date[];
TAVO_API extern const uint8_t lnxqe_edate[];

/* Parses a model; returns 0, or 1 when it is invalid (width then 10). */
TAVO_API int32_t lnxpfl(const char *fmt, uint32_t fmtlen, lnxfmt *pf,
                        const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Output width of a NUL-terminated model. */
TAVO_API uint32_t lnxgfs(const char *fmt, const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Prints num under a parsed model into out (room for the width, at most
 * 64). Returns the characters written. A value that does not fit is #. */
TAVO_API uint32_t lnxnft(const uint8_t *num, int32_t len, const lnxfmt *pf, char *out,
                         const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* As lnxnft, with a NUL-terminated model text. */
TAVO_API uint32_t lnxnfn(const uint8_t *num, int32_t len, const char *fmt, char *out,
                         const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Reads text under a parsed model; returns the characters consumed, 0 (and
 * an empty result) when the text does not match. */
TAVO_API uint32_t lnxfcn(const char *text, uint32_t textlen, const lnxfmt *pf, uint8_t *dst,
                         uint32_t *dstlen, const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Reads a number from text (textlen 0: length-prefixed text), optionally
 * checked against a precision and scale. *consumed (may be null) is 0 when
 * no number was found or it exceeds the precision. */
TAVO_API void lnxcpn(const char *text, uint32_t textlen, uint8_t *dst, uint32_t *dstlen,
                     uint8_t hasprec, int32_t precision, uint8_t hasscale, int32_t scale,
                     uint32_t *consumed, const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Writes num in exactly |width| characters, right-justified; a negative
 * width forces scientific notation. */
TAVO_API void lnxnuc(const uint8_t *num, int32_t len, char *out, int32_t width,
                     const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Length of the longest prefix of text that reads as a number, 0 if none. */
TAVO_API uint32_t lnxscn(const char *text, uint32_t textlen,
                         const struct lxlinfo *lang) TAVO_NOEXCEPT;
/* Error routine for the date context of lnxnft's date models: jumps back
 * into lnxnft, which fills its output with #. Does not return. */
TAVO_API void lnxnfterf(struct ldxctx *ctx, int32_t err) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LNX_H */
