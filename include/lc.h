/*
 * lc.h: small routines over byte strings, NUL-terminated strings, bit
 * vectors and (name, value) tables.
 *
 * None of them allocates, keeps state or reports errors; all work in the
 * caller's buffers and are re-entrant.
 *
 *   lcm...  counted buffers (pointer and length; no terminator is read or
 *           written): case mapping, case-insensitive and blank-padded
 *           comparison, search, search and replace, tabs, ASCII/EBCDIC
 *   lcs...  NUL-terminated strings: case mapping, capitalisation, padding,
 *           right-justification, concatenation
 *   lcbv... bit vectors, least significant bit first: bit i of a vector is
 *           bit i mod 8 of byte i / 8
 *   lctb... lookups in arrays of (name, value) entries
 *
 * Case. Case tests follow the C library's classification in the current
 * locale (isupper, islower, isalpha). In the "C" locale and in every UTF-8
 * locale that means the ASCII letters only; a single-byte locale such as
 * Latin-1 adds its own letters. Where a routine changes case by adding or
 * subtracting 32, as lcslo, lcsup and lcscp do, a letter whose other case is
 * not 32 away in the locale is left as it is.
 *
 * Example: replace in place, in a buffer with room to grow
 *
 *   char text[16] = "a-b-c";
 *   void *stop;
 *   uint32_t n = lcmrep(text, 5, sizeof text, "-", 1, ", ", 2, &stop);
 *   (text starts "a, b, c", n = 7, stop = NULL)
 */
#ifndef LC_H
#define LC_H

#include "tavo_api.h"

TAVO_BEGIN_DECLS

/* An empty string: a single NUL byte. */
TAVO_API extern const char lcunulstr[];

/* ---- Counted buffers: mapping ------------------------------------------ */

/* Translate len bytes from in to out, ASCII to EBCDIC (lcma2e) or EBCDIC
 * to ASCII (lcme2a); the two tables are each other's inverse, so
 * lcme2a(lcma2e(x)) = x for every byte. Copy with upper-case letters made
 * lower case (lcmlo, the C library's tolower) or lower-case made upper case
 * (lcmup, toupper). out may overlap in in any way (out = in translates in
 * place). Each returns out. */
TAVO_API void *lcma2e(void *out, const void *in, uint32_t len) TAVO_NOEXCEPT;
TAVO_API void *lcme2a(void *out, const void *in, uint32_t len) TAVO_NOEXCEPT;
TAVO_API void *lcmlo(void *out, const void *in, uint32_t len) TAVO_NOEXCEPT;
TAVO_API void *lcmup(void *out, const void *in, uint32_t len) TAVO_NOEXCEPT;

/* ---- Counted buffers: comparison and search ----------------------------- */

/* Compares len bytes ignoring case. At the first pair of bytes that differ
 * each upper-case byte is raised by 32; if they still differ the result is
 * (byte of a) - (byte of b), bytes taken unsigned. 0 when no pair differs. */
TAVO_API int32_t lcmlcomp(const void *a, const void *b, uint32_t len) TAVO_NOEXCEPT;

/* Compares two counted strings as if the shorter were padded with blanks.
 * 0 when equal; otherwise +k or -k, k the 1-based position of the first
 * difference, negative when a is the smaller. Bytes compare unsigned, so in
 * the padded part a byte above 0x20 makes its string the greater and one
 * below 0x20 the smaller. lcmcpp("AB", 2, "AB  ", 4) = 0,
 * lcmcpp("AB", 2, "ABC", 3) = -3, lcmcpp("AC", 2, "AB", 2) = 2. */
TAVO_API int32_t lcmcpp(const void *a, uint32_t alen, const void *b, uint32_t blen) TAVO_NOEXCEPT;

/* Offset of the first occurrence of the pattern in the buffer: len when
 * there is none or the pattern is longer than the buffer; 0 for an empty
 * pattern. Linear time in len + patlen whatever the bytes. */
TAVO_API uint32_t lcmsub(const void *buf, uint32_t len, const void *pat,
                         uint32_t patlen) TAVO_NOEXCEPT;

/* Copies in to out (outsize bytes of room), replacing every occurrence of
 * the pattern by the replacement; an empty pattern replaces nothing.
 * Copying stops when the input is used up, when the output is full, or
 * before an occurrence whose replacement would not fit in the room left.
 * Returns the bytes written; *unread (if unread is not null) receives the
 * count of input bytes not consumed, 0 when all of the input went out.
 * out and in must not overlap. */
TAVO_API uint32_t lcmcpr(void *out, uint32_t outsize, const void *in, uint32_t inlen,
                         const void *pat, uint32_t patlen, const void *rep, uint32_t replen,
                         uint32_t *unread) TAVO_NOEXCEPT;

/* Replaces every occurrence of the pattern in place in buf, which holds len
 * bytes and has room for cap. A replacement is not scanned again. Returns
 * the new length. *stop (if stop is not null) receives null when every
 * occurrence was replaced, or else the address of the first occurrence
 * whose replacement would make the text longer than cap: replacing stops
 * there and the text from it on is unchanged. An empty pattern leaves the
 * buffer as it is. */
TAVO_API uint32_t lcmrep(void *buf, uint32_t len, uint32_t cap, const void *pat, uint32_t patlen,
                         const void *rep, uint32_t replen, void **stop) TAVO_NOEXCEPT;

/* ---- Counted buffers: tabs and blanks ---------------------------------- */

enum { LCMRTBMAX = 4096 /* the longest expansion lcmrtb writes */ };

/* Expands tabs to blanks: a column counter starts at 0 and is never reset
 * (a newline is an ordinary byte); a tab becomes 8 - (column mod 8) blanks.
 * Returns the output length. The expansion is cut at LCMRTBMAX bytes (a tab
 * that straddles the limit gives the blanks that fit) and the result is
 * then LCMRTBMAX: out must hold min(expanded length, LCMRTBMAX) bytes, so a
 * buffer of LCMRTBMAX bytes is always enough. out may be in (expansion in
 * place) or overlap it. */
TAVO_API uint32_t lcmrtb(void *out, const void *in, uint32_t len) TAVO_NOEXCEPT;

/* Compresses blanks to tabs. Trailing blanks are dropped first (blanks only
 * give length 0); then the text is taken in chunks of 8 columns, a newline,
 * tab or carriage return starting a new chunk. A chunk that ends in a run
 * of two or more blanks has that run replaced by one tab; a single blank
 * stays, and so do the blanks of a final, incomplete chunk. Returns the
 * output length, never above len; out may be in. */
TAVO_API uint32_t lcmcps(void *out, const void *in, uint32_t len) TAVO_NOEXCEPT;

/* ---- NUL-terminated strings ---------------------------------------------- */

/* Copy in to out with its NUL: lcslo raises each upper-case letter by 32,
 * lcsup lowers each lower-case letter by 32, lcscp turns the first letter
 * of each run of letters to upper case when it is lower case and copies the
 * rest unchanged ("hello world" gives "Hello World", "mARCH" "MARCH").
 * out may be in. Each returns out. */
TAVO_API char *lcslo(char *out, const char *in) TAVO_NOEXCEPT;
TAVO_API char *lcsup(char *out, const char *in) TAVO_NOEXCEPT;
TAVO_API char *lcscp(char *out, const char *in) TAVO_NOEXCEPT;

/* Case-insensitive comparison as lcmlcomp, up to the terminating NUL; 0
 * when the strings are equal but for case. */
TAVO_API int32_t lcslcomp(const char *a, const char *b) TAVO_NOEXCEPT;

/* Copies in with its NUL; when it is shorter than width, fills with pad up
 * to width and puts a NUL at out[width]. A longer string is copied whole,
 * so out must hold max(strlen(in), width) + 1 bytes. Returns out. */
TAVO_API char *lcspd(char *out, const char *in, uint32_t width, char pad) TAVO_NOEXCEPT;

/* Right-justifies: the first min(strlen(in), width) bytes of in end at
 * out[width - 1], pad fills the left and out[width] = NUL; out must hold
 * width + 1 bytes and may be in. lcsrj(out, "abcdef", 3, ' ') gives "abc".
 * Returns out. */
TAVO_API char *lcsrj(char *out, const char *in, uint32_t width, char pad) TAVO_NOEXCEPT;

/* Concatenates the strings that follow out, up to a null pointer (pass
 * (char *)0), into out. Returns the address of the terminating NUL. */
TAVO_API char *lcscpn(char *out, ...) TAVO_NOEXCEPT;

/* Appends the strings that follow end, up to a null pointer, at *pos
 * without writing at or past end: when the room runs out the text is cut
 * and NUL-terminated inside it. *pos is left on the terminating NUL.
 * Nothing is written when *pos is not below end. With room for 4 bytes,
 * "ab" and "cd" give "abc". */
TAVO_API void lcsap(char **pos, const char *end, ...) TAVO_NOEXCEPT;

/* ---- Bit vectors -------------------------------------------------------- */

/* Unpacks nbits bits into nbits bytes: out[i] gets the mask bits set when
 * bit i is 1 and cleared when it is 0; its other bits are kept. */
TAVO_API void lcbvu(uint8_t *out, const uint8_t *bits, uint32_t nbits, uint8_t mask) TAVO_NOEXCEPT;

/* Packs nbits bytes into bits: bit i is 1 when in[i] has any mask bit set.
 * Whole bytes of the vector are written completely; in a final partial
 * byte the low nbits mod 8 bits are replaced and the higher ones kept. */
TAVO_API void lcbvpk(uint8_t *bits, const uint8_t *in, uint32_t nbits, uint8_t mask) TAVO_NOEXCEPT;

/* Extracts nbits bits starting at bit offset into (nbits + 7) / 8 bytes:
 * out[i] = in[b + i] >> s | in[b + i + 1] << (8 - s), cut to 8 bits, with
 * b = offset / 8 and s = offset mod 8. No byte of in past the one holding
 * the last requested bit is read: what it would give the spare high bits of
 * the last output byte is 0. */
TAVO_API void lcbvcp(uint8_t *out, const uint8_t *in, uint32_t offset,
                     uint32_t nbits) TAVO_NOEXCEPT;

/* out[i] = a[i] | b[i] (lcbvo) or a[i] ^ b[i] (lcbvx) for the
 * (nbits + 7) / 8 bytes of the vectors. */
TAVO_API void lcbvo(uint8_t *out, const uint8_t *a, const uint8_t *b, uint32_t nbits) TAVO_NOEXCEPT;
TAVO_API void lcbvx(uint8_t *out, const uint8_t *a, const uint8_t *b, uint32_t nbits) TAVO_NOEXCEPT;

/* ---- Name-value tables ------------------------------------------------------ */

typedef struct lctbent {
    const char *name; /* NUL-terminated */
    int32_t value;
} lctbent;

/* The name of the first of count entries with the value, or null. */
TAVO_API const char *lctbnam(const lctbent *table, uint32_t count, int32_t value) TAVO_NOEXCEPT;

/* Binary search of count entries sorted by name: bytewise (unsigned) when
 * ignore_case is 0, else as lcslcomp. The entry's value, or 0 when the name
 * is not found (an unsorted table may miss names it holds). */
TAVO_API int32_t lctbval(const lctbent *table, uint32_t count, const char *name,
                         int32_t ignore_case) TAVO_NOEXCEPT;

/* Does nothing. */
TAVO_API void lcunoop(void) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LC_H */
