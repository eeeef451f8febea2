/*
 * lx.h: language support: languages, territories and character sets.
 *
 * Everything that depends on a language or a character set goes through
 * here: day and month names, decimal and group characters, currency
 * symbols, numbers in words, character classes and case, stepping over
 * multi-byte characters and converting text between character sets.
 *
 * Records
 *   lxlinfo  the language information record (284 bytes, caller-owned):
 *            which language, territory and character set, plus the fields
 *            that callers read directly (decimal character at byte 0x8C,
 *            group character at 0x8D, local currency from 0x91). Filled by
 *            lxlfill from a name such as "GERMAN_GERMANY.WE8ISO8859P1".
 *   lxenv    an environment handle: opaque, shared and immutable, one per
 *            (language, territory, character set). lxenvget gives it for a
 *            record; it costs no allocation and needs no release.
 *   lxwork   a work area (caller-owned, about 300 bytes): bound to an
 *            environment with lxwbind, passed last to the operations, which
 *            leave their status in word 0 and the characters or bytes they
 *            consumed in word 1.
 *   lxcur    a cursor over text (reading) or over an output buffer
 *            (writing), in the character set of the work area it was
 *            opened with. It steps whole characters: a multi-byte character
 *            is never split, and nothing is read or written outside the
 *            length it was given.
 *
 * Message files (reader handles, their caches, the not-found line) are not
 * here yet; the work area's reserved bytes leave room for their state.
 *
 * Text handed to and returned by the operations is in the environment's
 * character set unless a function says otherwise. Lengths are in bytes.
 * No function allocates, keeps per-call state or takes a lock; all are
 * re-entrant. Bad arguments (null pointers, an unbound work area, an item
 * number that does not exist) give a status, never a crash.
 *
 * Example: the name of March in upper case, for German in Latin-1
 *
 *   lxlinfo info;
 *   lxwork w;
 *   lxcur out;
 *   char buf[32];
 *   if (lxlfill(&info, "GERMAN_GERMANY.WE8ISO8859P1", 0) != LXS_OK) ...;
 *   lxwbind(&w, lxenvget(&info));
 *   lxoopen(&out, buf, sizeof buf, &w);
 *   lxoitem(&out, LXI_MONTH + 2, LXO_UPPER, &w);      (buf holds "MÄRZ")
 *   lxwfree(&w);
 */
#ifndef LX_H
#define LX_H

#include "tavo_api.h"

TAVO_BEGIN_DECLS

/* ---- Statuses: word 0 of the work area, and the result of lxlfill --- */

enum {
    LXS_OK = 0,        /* success */
    LXS_BADARG = 2,    /* a null pointer, unbound work area or value out of range */
    LXS_BADNAME = 3,   /* a language, territory or character-set name not known,
                          empty or longer than LXNAMEMAX */
    LXS_REPLACED = 5,  /* done, but characters the target lacks were replaced */
    LXS_FULL = 6,      /* the output is full: what did not fit was not written */
    LXS_DIGITS = 9,    /* a number has too many digits */
    LXS_NOITEM = 0x17, /* the item is not available */
    LXS_NOMATCH = 108  /* the text matches nothing that was asked for */
};

enum {
    LXNAMEMAX = 95, /* longest name lxlfill accepts, in bytes */
    LXNUL = 0xFFFF  /* as a text length: up to the first NUL (at most 65535 bytes) */
};

/* ---- Language information record ------------------------------------ */

/* Flags word bits. */
enum {
    LXF_ASCII = 0x1,            /* the character set is ASCII-based (not EBCDIC) */
    LXF_SINGLEBYTE = 0x10,      /* one byte per character */
    LXF_DATEFMT = 0x20,         /* the default date format changed: set by every fill,
                                   cleared by the date code once it has recompiled it */
    LXF_BYTESCAN = 0x200,       /* text may be scanned byte by byte */
    LXF_FIXEDPERIODS = 0x20000, /* "a.m."/"a.d." forms are the fixed English words */
    LXF_SHIFTBYTE = 0x40000     /* one more byte per character (shift states); never set
                                   here: no supported set has shift states */
};

/* The layout is fixed: callers read decimal, group and localcur by offset.
 * Texts in it are in the record's character set and NUL-terminated. */
typedef struct lxlinfo {
    uint32_t tag;          /* 0x00 marks a filled record */
    uint32_t flags;        /* 0x04 LXF_* */
    uint8_t language;      /* 0x08 language number */
    uint8_t territory;     /* 0x09 territory number */
    uint8_t charset;       /* 0x0A character set number (LXCS_*) */
    uint8_t maxbytes;      /* 0x0B widest character in bytes */
    uint8_t shiftret;      /* 0x0C shift-return byte (0: the set has no shift states) */
    uint8_t firstday;      /* 0x0D first day of the week: 0 Sunday, 1 Monday */
    uint8_t reserved0[2];  /* 0x0E */
    char langname[32];     /* 0x10 "AMERICAN" (ASCII, upper case) */
    char terrname[32];     /* 0x30 "AMERICA" (ASCII, upper case) */
    char csname[32];       /* 0x50 "US7ASCII" (ASCII, upper case) */
    char msglang[4];       /* 0x70 message language code, as item 61 */
    char isocur[4];        /* 0x74 ISO currency symbol, as item 0x35 */
    uint8_t reserved1[20]; /* 0x78 */
    uint8_t decimal;       /* 0x8C decimal character */
    uint8_t group;         /* 0x8D group character */
    uint8_t reserved2[3];  /* 0x8E */
    char localcur[41];     /* 0x91 local currency symbol: at most 10 characters */
    uint8_t reserved3[98]; /* 0xBA, to 284 bytes */
} lxlinfo;

/* Fills info from a name LANGUAGE_TERRITORY.CHARSET, each part optional
 * ("GERMAN", "FRENCH_FRANCE", "_SPAIN.AL32UTF8", ".WE8ISO8859P1"), or
 * from a bare character-set name ("us7ascii"). Names compare without
 * regard to case. A missing language is AMERICAN, a missing territory the
 * language's own (AMERICAN: AMERICA, ENGLISH: UNITED KINGDOM, GERMAN:
 * GERMANY, FRENCH: FRANCE, SPANISH: SPAIN, ITALIAN: ITALY), a missing
 * character set US7ASCII. len is the name's length in bytes, 0 for a
 * NUL-terminated name. A null name gives the default: VELMAR_LANG when the
 * environment sets it (read once, at first use), else
 * AMERICAN_AMERICA.US7ASCII.
 * Returns LXS_OK, or LXS_BADNAME (an unknown, empty or too long name;
 * the record is then cleared and not usable) or LXS_BADARG (null info). */
TAVO_API int32_t lxlfill(lxlinfo *info, const char *name, uint32_t len) TAVO_NOEXCEPT;

/* The default record (see lxlfill), made once and shared; null when
 * VELMAR_LANG names something unknown. */
TAVO_API const lxlinfo *lxldflt(void) TAVO_NOEXCEPT;

/* Writes the record's full name "LANGUAGE_TERRITORY.CHARSET" and a NUL
 * into buf; returns its length, or 0 (nothing written) when the buffer is
 * too small or the record is not filled. */
TAVO_API uint32_t lxlname(const lxlinfo *info, char *buf, uint32_t size) TAVO_NOEXCEPT;

/* ---- Environments and work areas --------------------------------------- */

typedef struct lxenv lxenv;

/* The shared environment handle of a filled record; a null record gives the
 * default environment. Null when the record is not filled (or the default
 * is unknown). Handles live as long as the program and are never freed. */
TAVO_API const lxenv *lxenvget(const lxlinfo *info) TAVO_NOEXCEPT;

typedef struct lxwork {
    int32_t status;    /* word 0: LXS_* of the last operation */
    uint32_t consumed; /* word 1: characters (reading) or bytes (conversion) consumed */
    const lxenv *env;  /* the bound environment, null when released */
    uint8_t reserved[288];
} lxwork;

/* Binds a work area to an environment (null: the default). Returns LXS_OK,
 * LXS_BADNAME when the default is unknown, LXS_BADARG for a pointer that is
 * not an environment handle (the area is then unbound). */
TAVO_API int32_t lxwbind(lxwork *w, const lxenv *env) TAVO_NOEXCEPT;
/* Releases a work area: it is unbound until bound again. */
TAVO_API void lxwfree(lxwork *w) TAVO_NOEXCEPT;

/* ---- Items ---------------------------------------------------------------- */

enum {
    LXI_DAY = 0,        /* 0-6 day names, Sunday first */
    LXI_DAYABBR = 7,    /* 7-13 day abbreviations */
    LXI_MONTH = 14,     /* 14-25 month names */
    LXI_MONTHABBR = 26, /* 26-37 month abbreviations */
    LXI_AM = 40,        /* 40, 41 the meridian words */
    LXI_PM = 41,
    LXI_AD = 42, /* 42, 43 the era words */
    LXI_BC = 43,
    LXI_ISOCUR = 0x35,      /* ISO currency symbol, 3 characters */
    LXI_MSGLANG = 61,       /* message language code, at most 3 characters */
    LXI_DECIMAL = 0x41,     /* decimal character */
    LXI_LOCALCUR = 0x45,    /* local currency symbol, at most 10 characters */
    LXI_DATEFMT = 76,       /* default date format model */
    LXI_WIDEMONTH = 93,     /* integer items: characters of the widest month name, */
    LXI_WIDEMONTHABBR = 94, /* month abbreviation, */
    LXI_WIDEDAY = 95,       /* day name, */
    LXI_WIDEDAYABBR = 96,   /* day abbreviation; */
    LXI_FIRSTDAY = 97       /* first day of the week: 0 Sunday, 1 Monday */
};

/* Names and words (items 0-43) are in lower case; callers apply case with
 * LXO_UPPER and LXO_CAP. Other text items keep their own case. */

/* Copies a text item into buf and adds a NUL when there is room for it.
 * Returns its length in bytes; 0 with LXS_NOITEM for a number that is not a
 * text item, 0 with LXS_FULL when the text does not fit (nothing written). */
TAVO_API uint32_t lxitem(int32_t item, void *buf, uint32_t size, lxwork *w) TAVO_NOEXCEPT;
/* The value of an integer item (93-97); -1 with LXS_NOITEM for another. */
TAVO_API int32_t lxitemn(int32_t item, lxwork *w) TAVO_NOEXCEPT;

/* ---- Character sets ------------------------------------------------------- */

enum {
    LXCS_US7ASCII = 0,     /* 7-bit ASCII */
    LXCS_WE8ISO8859P1 = 1, /* Latin-1 */
    LXCS_AL32UTF8 = 2,     /* UTF-8, up to 4 bytes a character */
    LXCS_WE8EBCDIC = 3     /* EBCDIC: the Latin-1 characters under lcma2e's table */
};

/* The character set of a name (case ignored; len 0: NUL-terminated), or -1. */
TAVO_API int32_t lxcsfind(const char *name, uint32_t len) TAVO_NOEXCEPT;
/* The character set of a bound work area, or -1. */
TAVO_API int32_t lxcsid(const lxwork *w) TAVO_NOEXCEPT;
/* 1 when the set is ASCII-based, 0 for EBCDIC (and for an unknown set). */
TAVO_API int32_t lxcsascii(int32_t cs) TAVO_NOEXCEPT;
/* Maximum bytes per character of the set, 0 for an unknown set. */
TAVO_API int32_t lxcsmax(int32_t cs) TAVO_NOEXCEPT;

/* The byte tables of a single-byte set, for callers that walk such text a
 * byte at a time: the 256 class words (LXC_* bits) and the 256 bytes of
 * the upper-case (upper non-zero) or lower-case mapping. Null for UTF-8
 * and for an unknown set. */
TAVO_API const uint16_t *lxcsclass(int32_t cs) TAVO_NOEXCEPT;
TAVO_API const uint8_t *lxcscase(int32_t cs, int32_t upper) TAVO_NOEXCEPT;

/* Converts len bytes of text in set srccs into set dstcs at dst (size bytes).
 * Returns the bytes written; word 1 holds the input bytes consumed. Status
 * LXS_OK; LXS_REPLACED when characters the target lacks, or invalid input
 * bytes, became the replacement character ('?' in the single-byte sets,
 * U+FFFD in UTF-8); LXS_FULL when the output filled up (whole characters
 * only are written); LXS_BADARG for an unknown set. */
TAVO_API uint32_t lxconv(void *dst, uint32_t size, int32_t dstcs, const void *src, uint32_t len,
                         int32_t srccs, lxwork *w) TAVO_NOEXCEPT;

/* Two bytes a character: converts text of the work area's set to UTF-16
 * big-endian (characters beyond U+FFFF as surrogate pairs, invalid bytes
 * as U+FFFD). lxtou16up upper-cases as it goes (the password verifier's
 * mode 1); lxtou16 keeps the text as it is (its other modes). Returns the
 * bytes written (at most 2 x len); LXS_FULL when they did not all fit. */
TAVO_API uint32_t lxtou16up(void *dst, uint32_t size, const void *src, uint32_t len,
                            lxwork *w) TAVO_NOEXCEPT;
TAVO_API uint32_t lxtou16(void *dst, uint32_t size, const void *src, uint32_t len,
                          lxwork *w) TAVO_NOEXCEPT;

/* ---- Cursors ---------------------------------------------------------------- */

/* Character classes, as bits. */
enum {
    LXC_UPPER = 0x04,
    LXC_LOWER = 0x08,
    LXC_DIGIT = 0x20, /* 0-9 only */
    LXC_SPACE = 0x40, /* blank, tab, newline, vertical tab, form feed, return */
    LXC_ALPHA = 0x100 /* a letter (upper, lower or without case) */
};

#define LXCH_END 0xFFFFFFFFu /* lxcchar at the end of the text */

typedef struct lxcur {
    uint8_t *text;  /* the text or output buffer */
    uint32_t len;   /* its length, or the output buffer's size, in bytes */
    uint32_t pos;   /* byte offset of the current character, or of the next write */
    uint32_t chars; /* characters stepped over, or written */
    uint16_t cs;    /* character set */
    uint16_t flags; /* internal */
} lxcur;

/* Opens a cursor over text of len bytes (LXNUL: up to the first NUL, at
 * most 65535 bytes) in the work area's character set. Returns LXS_OK or
 * LXS_BADARG (the cursor is then empty). */
TAVO_API int32_t lxcopen(lxcur *c, const void *text, uint32_t len, lxwork *w) TAVO_NOEXCEPT;

/* Character codes: the byte in a single-byte set, the Unicode code point in
 * UTF-8. An invalid byte (or a character cut short by the end of the text)
 * is a character of one byte whose code is U+FFFD in UTF-8. */

/* Steps over the current character; returns its length in bytes (0 at the end). */
TAVO_API uint32_t lxcnext(lxcur *c) TAVO_NOEXCEPT;
/* The current character's code, LXCH_END at the end. */
TAVO_API uint32_t lxcchar(const lxcur *c) TAVO_NOEXCEPT;
/* Bytes of the current character (0 at the end). */
TAVO_API uint32_t lxclen(const lxcur *c) TAVO_NOEXCEPT;
/* 1 at the end of the text, else 0. */
TAVO_API int32_t lxcend(const lxcur *c) TAVO_NOEXCEPT;
/* 1 when the bytes left are the start of a character that the end of the
 * text cuts short (the rest may follow in a later buffer), else 0. */
TAVO_API int32_t lxcpart(const lxcur *c) TAVO_NOEXCEPT;
/* 1 when the cursor is in a shifted state; always 0, as no supported set
 * has shift states (the shift-return byte is lxlinfo.shiftret). */
TAVO_API int32_t lxcshift(const lxcur *c) TAVO_NOEXCEPT;
/* Class bits (LXC_*) of the current character; 0 at the end. */
TAVO_API uint32_t lxcclass(const lxcur *c) TAVO_NOEXCEPT;
/* The code of the current character in upper or lower case (unchanged when
 * it has no such case in the set); LXCH_END at the end. */
TAVO_API uint32_t lxcupper(const lxcur *c) TAVO_NOEXCEPT;
TAVO_API uint32_t lxclower(const lxcur *c) TAVO_NOEXCEPT;

/* Compares the text at the cursor with the n bytes of s (text in the same
 * set) without moving: 0 when the text begins with s, else non-zero. With
 * LXCMP_NOCASE letters compare without regard to case. */
enum { LXCMP_NOCASE = 1 };
TAVO_API int32_t lxccmp(const lxcur *c, const void *s, uint32_t n, uint32_t flags) TAVO_NOEXCEPT;
/* Characters from the cursor to the end of the text. */
TAVO_API uint32_t lxccount(const lxcur *c) TAVO_NOEXCEPT;
/* Bytes of the next n characters from the cursor (fewer at the end). */
TAVO_API uint32_t lxcbytes(const lxcur *c, uint32_t n) TAVO_NOEXCEPT;

/* ---- Output ---------------------------------------------------------------- */

/* Opens an output cursor over buf (size bytes) in the work area's set.
 * Writes go at the cursor and advance it; c->pos is the bytes written and
 * c->chars the characters. Nothing is written past the size: an output
 * that does not fit sets LXS_FULL. Texts (items, numbers, words) are
 * written whole or not at all; copies and padding write the whole
 * characters that fit. Each output function returns the characters it
 * wrote. Nothing is NUL-terminated. */
TAVO_API int32_t lxoopen(lxcur *out, void *buf, uint32_t size, lxwork *w) TAVO_NOEXCEPT;

/* Case flags for the text outputs, and their other options. */
enum {
    LXO_UPPER = 0x1,   /* upper case */
    LXO_CAP = 0x2,     /* capitalised: first letter of each word upper, the rest lower */
    LXO_GROUP = 0x4,   /* lxoint: group the digits in threes with the group character */
    LXO_ORDINAL = 0x8, /* lxowords: "twenty-first" rather than "twenty-one" */
    LXO_YEAR = 0x10,   /* lxowords: a year, "nineteen ninety-five" */
    LXO_FULL = 0x20    /* lxoera: the full era name rather than the abbreviation */
};

/* One character, given by its code (as lxcchar gives it). */
TAVO_API uint32_t lxochar(lxcur *out, uint32_t code, lxwork *w) TAVO_NOEXCEPT;
/* count copies of a character (padding); as many as fit. */
TAVO_API uint32_t lxopad(lxcur *out, uint32_t code, uint32_t count, lxwork *w) TAVO_NOEXCEPT;
/* Copies at most maxchars characters of text (len bytes in the set; LXNUL
 * up to its NUL); as many whole characters as fit. */
TAVO_API uint32_t lxocopy(lxcur *out, const void *text, uint32_t len, uint32_t maxchars,
                          lxwork *w) TAVO_NOEXCEPT;
/* Copies text in upper case, or capitalised (LXO_CAP); as many as fit. */
TAVO_API uint32_t lxoupper(lxcur *out, const void *text, uint32_t len, lxwork *w) TAVO_NOEXCEPT;
TAVO_API uint32_t lxocap(lxcur *out, const void *text, uint32_t len, lxwork *w) TAVO_NOEXCEPT;
/* A text item, with the case flags. */
TAVO_API uint32_t lxoitem(lxcur *out, int32_t item, uint32_t flags, lxwork *w) TAVO_NOEXCEPT;
/* A whole number: a minus sign when negative, digits zero-padded so that
 * the whole (sign and group characters included) has at least minwidth
 * characters, grouped with LXO_GROUP. */
TAVO_API uint32_t lxoint(lxcur *out, int32_t value, uint32_t minwidth, uint32_t flags,
                         lxwork *w) TAVO_NOEXCEPT;
/* Roman numeral of 1..3999, lower case ("mcmxciv"; LXO_UPPER for upper),
 * right-justified with blanks in width characters (0: no padding).
 * LXS_BADARG for a value out of range or a numeral wider than width. */
TAVO_API uint32_t lxoroman(lxcur *out, int32_t value, uint32_t width, uint32_t flags,
                           lxwork *w) TAVO_NOEXCEPT;
/* The ordinal suffix of a number ("st" of 21 in English, "." in German,
 * "er"/"e" in French, "º" in Spanish and Italian). */
TAVO_API uint32_t lxoord(lxcur *out, int32_t value, uint32_t flags, lxwork *w) TAVO_NOEXCEPT;
/* A number in words, in the language (cardinal, LXO_ORDINAL, or LXO_YEAR),
 * negative numbers with the language's minus word. Spanish ordinals from
 * 10000 on are given as cardinals. */
TAVO_API uint32_t lxowords(lxcur *out, int32_t value, uint32_t flags, lxwork *w) TAVO_NOEXCEPT;

/* ---- Calendar and eras ------------------------------------------------------- */

/* A date in the layout of the library's internal date (8 bytes). */
typedef struct lxdate {
    int16_t year; /* -4712..9999, not 0; negative years are BC */
    int8_t month, day, hour, minute, second;
    uint8_t spare;
} lxdate;

/* Eras of the Gregorian calendar, the calendar of every environment here. */
enum { LXERA_NONE = 0, LXERA_AD = 1, LXERA_BC = 2 };

/* Expresses a date in the environment's calendar: the working copy (the
 * same date) and its era (LXERA_BC for negative years, else LXERA_AD). */
TAVO_API int32_t lxcalto(const lxdate *date, lxdate *local, int32_t *era, lxwork *w) TAVO_NOEXCEPT;
/* The inverse: a date of the calendar, with the era read beside it (or
 * LXERA_NONE), to the internal date. LXERA_BC makes a positive year
 * negative; LXERA_AD with a negative year, or an unknown era, is refused
 * with LXS_BADARG. Returns the status. */
TAVO_API int32_t lxcalfrom(const lxdate *local, int32_t era, lxdate *date, lxwork *w) TAVO_NOEXCEPT;
/* The era's name: the abbreviation (items 42, 43), or with LXO_FULL the
 * full name ("anno domini"), with the case flags. */
TAVO_API uint32_t lxoera(lxcur *out, int32_t era, uint32_t flags, lxwork *w) TAVO_NOEXCEPT;

/* ---- Reading ----------------------------------------------------------------- */

enum {
    LXR_SIGN = 0x1,  /* lxrint: accept one leading + or - */
    LXR_GROUP = 0x2, /* lxrint: accept group characters between digits */
    LXR_WHOLE = 0x4  /* lxrint: the digits must end within maxdigits (else LXS_DIGITS) */
};

/* The reading functions start at the cursor and, on success, step past
 * what they read and put the characters read in word 1. On failure the
 * cursor does not move and word 1 is 0. */

/* Reads an integer of at most maxdigits digits (1..10); without LXR_WHOLE
 * it stops after maxdigits digits. Returns the status: LXS_OK, LXS_DIGITS
 * (more digits with LXR_WHOLE, or beyond a 32-bit value), LXS_NOMATCH (no
 * digit). The value is stored through value on success. */
TAVO_API int32_t lxrint(lxcur *c, uint32_t maxdigits, uint32_t flags, int32_t *value,
                        lxwork *w) TAVO_NOEXCEPT;
/* Matches the text against items first..last without regard to case; the
 * longest match wins (the first of equals). Returns the item, or -1 with
 * LXS_NOMATCH. */
TAVO_API int32_t lxritem(lxcur *c, int32_t first, int32_t last, lxwork *w) TAVO_NOEXCEPT;
/* Reads a Roman numeral of 1..max (either case); returns its value, or 0
 * with LXS_NOMATCH. Months: max 12. */
TAVO_API int32_t lxrroman(lxcur *c, int32_t max, lxwork *w) TAVO_NOEXCEPT;
/* Reads an era name, full or abbreviated; returns LXERA_AD or LXERA_BC, or
 * LXERA_NONE with LXS_NOMATCH. */
TAVO_API int32_t lxrera(lxcur *c, lxwork *w) TAVO_NOEXCEPT;
/* Currency comparison: 1, stepping past it, when the text begins with the
 * currency symbol item (LXI_ISOCUR or LXI_LOCALCUR) without regard to case;
 * else 0 with LXS_NOMATCH. */
TAVO_API int32_t lxrcur(lxcur *c, int32_t item, lxwork *w) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LX_H */
