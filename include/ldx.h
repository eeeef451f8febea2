/*
 * ldx.h: dates: the date type, its calendar, format models and arithmetic.
 *
 * Dates run from 1 January -4712 to 31 December 9999, to the second, on the
 * Julian calendar up to 4 October 1582 and the Gregorian calendar from
 * 15 October 1582 on (the ten days between do not exist). Negative years
 * are years before year 1, numbered so that -4, -8, ... are leap years.
 *
 * Forms of a date
 *   ldxdate  the internal date (8 bytes): the form all arithmetic works on.
 *   external the 7-byte storage form: century + 100, year in the century
 *            + 100, month, day, hour + 1, minute + 1, second + 1.
 *   ldxjul   the Julian form: day number (1 = 1 January -4712) and seconds
 *            since midnight.
 *
 * The date context (ldxctx) is caller-owned (it may live on the stack): it
 * binds a language record and an error callback to every operation. Errors
 * are never returned: they are reported by calling the callback with the
 * context and an error number (600, 1800..1899). The callback is not
 * expected to return; callers leave it with longjmp, and every date
 * function may be jumped over (nothing is held across the callback: the
 * working environment is released before it is called, and nothing
 * allocates). When a callback does return, the operation goes on with the
 * values it holds.
 *
 * Example: one month after 31 January 1996
 *
 *   static jmp_buf where;
 *   static void fail(ldxctx *ctx, int32_t err) { longjmp(where, err); }
 *   ...
 *   ldxctx ctx;
 *   ldxdate d = {1996, 1, 31, 0, 0, 0, 0}, r;
 *   if (setjmp(where) != 0) ...;            (an error was raised)
 *   ldxini(&ctx, NULL, fail, NULL);
 *   ldxadm(&ctx, &r, &d, 1);                (r is 29 February 1996)
 *
 * Numbers handed in and out are decimal numbers of lnx.h.
 */
#ifndef LDX_H
#define LDX_H

#include "lx.h"
#include "tavo_api.h"

TAVO_BEGIN_DECLS

/* ---- Records -------------------------------------------------------------- */

typedef struct ldxdate {
    int16_t year; /* -4712..9999, not 0 */
    int8_t month; /* 1..12 */
    int8_t day;   /* 1..length of the month */
    int8_t hour;  /* 0..23 */
    int8_t minute;
    int8_t second;
    uint8_t spare; /* 0 after ldxeti */
} ldxdate;

typedef struct ldxjul {
    int32_t day;     /* 1 = 1 January -4712, 5373484 = 31 December 9999 */
    int32_t seconds; /* 0..86399 */
} ldxjul;

/* A day-and-seconds interval, for ldxads. */
typedef struct ldxitv {
    int32_t days;
    int32_t seconds;
} ldxitv;

enum { LDXEXTLEN = 7, LDXFMTMAX = 48 };

typedef struct ldxctx ldxctx;

/* The error callback: the context and the error number. It should not
 * return (see above). */
typedef void (*ldxerrcb)(ldxctx *ctx, int32_t err);

struct ldxctx {
    uint8_t cflags; /* element flags in force while a model compiles */
    uint8_t reserved0[7];
    lxlinfo *env;              /* the language record; null: the default language */
    ldxerrcb callback;         /* called with every error */
    void *cbarg;               /* the callback's own value (a recovery point, say) */
    uint8_t deffmt[LDXFMTMAX]; /* the language's default format, compiled for input */
    lxwork work;               /* the language services' work area during an operation */
    int32_t exact;             /* set while text is matched exactly ("fx") */
    ldxdate fixed;             /* with a year other than 0: the date sldxgd gives */
    const lxenv *tmpenv;       /* the environment bound to work; null between operations */
};

/* ---- Error numbers --------------------------------------------------------- */

enum {
    LDXE_INTERNAL = 600,   /* no environment, no default format, bad unit or code */
    LDXE_LITERAL = 1800,   /* a literal of more than 210 bytes in a model */
    LDXE_FULL = 1801,      /* an output buffer is too small */
    LDXE_TWICE = 1810,     /* an element appears twice in an input model */
    LDXE_NOINPUT = 1820,   /* an element an input model may not contain */
    LDXE_MODEL = 1821,     /* the model text is not recognised */
    LDXE_YEAR = 1841,      /* a year outside -4712..9999 */
    LDXE_WEEKDAY = 1846,   /* not a day of the week */
    LDXE_DAYOFYEAR = 1848, /* day 366 of a common year */
    LDXE_JULIAN = 1854,    /* a Julian day below 1 */
    LDXE_TIMEZONE = 1857,  /* a time-zone name not in the table */
    LDXE_UNITS = 1898,     /* a rounding unit of more than one element */
    LDXE_NOTUNIT = 1899    /* an element that is no rounding unit */
};

/* ---- Tables ------------------------------------------------------------------ */

/* Days of a common year before month m (1..13); entry 0 is 0. */
TAVO_API extern const int32_t ldxdom[14];
/* 86400, length-prefixed. */
TAVO_API extern const uint8_t ldxsid[4];

typedef struct ldxtz {
    char name[4];    /* lower case, NUL-padded */
    int32_t minutes; /* offset from GMT, negative west of Greenwich */
} ldxtz;
TAVO_API extern const ldxtz ldxtzn[18];

/* ---- Context ------------------------------------------------------------------ */

/* Clears the context, stores the callback and its argument and the language
 * record (null: the default language, and no default format), and compiles
 * the language's default date format (600 when it is empty). */
TAVO_API void ldxini(ldxctx *ctx, lxlinfo *env, ldxerrcb callback, void *cbarg) TAVO_NOEXCEPT;
/* Makes the context use another language record, recompiling the default
 * format unless the record is the same and its LXF_DATEFMT bit is clear. */
TAVO_API void ldxsen(ldxctx *ctx, lxlinfo *env) TAVO_NOEXCEPT;
/* With a date, sldxgd gives that date from now on; with null, the clock. */
TAVO_API void ldxfxd(ldxctx *ctx, const ldxdate *date) TAVO_NOEXCEPT;

/* ---- Checks and conversions ---------------------------------------------------- */

/* Validity mask bits: two per field, the low bit too large or invalid, both
 * bits missing or too small. */
enum {
    LDXC_DAYHI = 0x0001,
    LDXC_DAYLO = 0x0003,
    LDXC_MONTHHI = 0x0004,
    LDXC_MONTHLO = 0x000C,
    LDXC_YEARHI = 0x0010,
    LDXC_YEARLO = 0x0030,
    LDXC_HOURHI = 0x0040,
    LDXC_HOURLO = 0x00C0,
    LDXC_MINUTEHI = 0x0100,
    LDXC_MINUTELO = 0x0300,
    LDXC_SECONDHI = 0x0400,
    LDXC_SECONDLO = 0x0C00,
    LDXC_GAP = 0x1000, /* 5..14 October 1582 */
    LDXC_YEAR0 = 0x2000,
    LDXC_FORM = 0x8000 /* a form other than 0, 1, 2 */
};
enum { LDXF_DATE = 0, LDXF_JULIAN = 1, LDXF_EXTERNAL = 2 };

/* The validity mask of an internal date (form 0), a Julian form (1) or an
 * external date (2); 0 when valid. */
TAVO_API uint32_t ldxchk(ldxctx *ctx, const void *date, int32_t form) TAVO_NOEXCEPT;
/* -1, 0 or 1: field by field, year first, each as a signed value. */
TAVO_API int32_t ldxcmp(const ldxdate *a, const ldxdate *b) TAVO_NOEXCEPT;

/* The Julian day of a date (not validated). */
TAVO_API int32_t ldxctj(ldxctx *ctx, int32_t year, int32_t month, int32_t day) TAVO_NOEXCEPT;
/* The date of a Julian day; 1854 (nothing written) below 1. */
TAVO_API void ldxjtc(ldxctx *ctx, int32_t jday, int32_t *year, int32_t *month,
                     int32_t *day) TAVO_NOEXCEPT;
/* Month and day of a day of the year; 1848 for day 366 of a common year. */
TAVO_API void ldxdyc(ldxctx *ctx, int32_t year, int32_t yday, int32_t *month,
                     int32_t *day) TAVO_NOEXCEPT;
/* Internal date to Julian form and back. */
TAVO_API void ldxdtd(ldxctx *ctx, const ldxdate *date, ldxjul *jul) TAVO_NOEXCEPT;
TAVO_API void ldxdfd(ldxctx *ctx, const ldxjul *jul, ldxdate *date) TAVO_NOEXCEPT;
/* Internal date to external date (7 bytes) and back (all 8 bytes written). */
TAVO_API void ldxite(ldxctx *ctx, const ldxdate *date, uint8_t *ext) TAVO_NOEXCEPT;
TAVO_API void ldxeti(ldxctx *ctx, const uint8_t *ext, ldxdate *date) TAVO_NOEXCEPT;
/* The number day + seconds / 86400, written without a length byte at num
 * (LNXMAXLEN bytes); returns its length. */
TAVO_API uint32_t ldxdyf(ldxctx *ctx, const ldxjul *jul, uint8_t *num) TAVO_NOEXCEPT;
/* A number of days (length 0: length-prefixed) to the Julian form: the day
 * truncated, the fraction rounded to seconds. Returns the status of the
 * last integer conversion (lnxsni). */
TAVO_API int32_t ldxftd(ldxctx *ctx, const uint8_t *num, int32_t len, ldxjul *jul) TAVO_NOEXCEPT;
/* The index in ldxtzn of a time-zone name (case ignored; len 0: the name is
 * NUL-terminated and whole, else an entry of exactly len bytes); 1857 when
 * none matches. */
TAVO_API int32_t ldxgtz(ldxctx *ctx, const char *name, uint32_t len) TAVO_NOEXCEPT;

/* ---- Format models ------------------------------------------------------------
 *
 * A model such as "DD-MON-YYYY HH24:MI:SS" compiles to items: an element
 * (2 bytes: code 1..44, flags), a literal (1 + n bytes: 45 + its character
 * count, then its n bytes of text, at most 210) and the end (0, flags).
 */

/* Element flags. */
enum {
    LDXM_FILL = 0x10,  /* padded to full width (toggled by "fm") */
    LDXM_UPPER = 0x08, /* keyword in upper case: names in upper case */
    LDXM_CAP = 0x04,   /* keyword capitalised: names capitalised */
    LDXM_SP = 0x02,    /* "sp": spelled out */
    LDXM_TH = 0x01     /* "th": ordinal */
};

/* Element codes. */
enum {
    LDXK_CC = 1,
    LDXK_SCC,
    LDXK_I,
    LDXK_Y,
    LDXK_IY,
    LDXK_YY,
    LDXK_IYY,
    LDXK_YYY,
    LDXK_IYYY,
    LDXK_YYYY,
    LDXK_YCYYY,
    LDXK_SYYYY,
    LDXK_SYCYYY,
    LDXK_YEARW,
    LDXK_SYEARW,
    LDXK_Q,
    LDXK_MM,
    LDXK_IW,
    LDXK_WW,
    LDXK_W,
    LDXK_D,
    LDXK_DD,
    LDXK_DDD,
    LDXK_HH24,
    LDXK_HH,
    LDXK_MI,
    LDXK_SS,
    LDXK_SSSSS,
    LDXK_J,
    LDXK_MONTH,
    LDXK_MON,
    LDXK_DAY,
    LDXK_DY,
    LDXK_AMPM,
    LDXK_AMPMDOT,
    LDXK_ADBC,
    LDXK_ADBCDOT,
    LDXK_RM,
    LDXK_FM,
    LDXK_RR,
    LDXK_RRRR,
    LDXK_FX,
    LDXK_ERA,
    LDXK_ERAFULL,
    LDXK_LITERAL = 45
};

/* An element's entry: error number, minimum, maximum and kind (bit 0x80: a
 * text element; numeric ones have their width in the low nibble). */
typedef struct ldxfce {
    uint16_t err;
    int16_t min;
    int32_t max;
    uint8_t kind;
    uint8_t spare[3];
} ldxfce;
TAVO_API extern const ldxfce ldxfcd[47];

/* A keyword entry: lower-case keyword (NUL-padded), its length, its code. */
typedef struct ldxkw {
    char kw[7];
    uint8_t len;
    int32_t code;
} ldxkw;
/* The 49 keywords in ASCII and in EBCDIC, sorted by their ASCII spelling,
 * ended by an all-zero entry; the first keyword of each letter a..z (32767:
 * none); the keyword of each element code (-1: none). */
TAVO_API extern const ldxkw ldxfda[50];
TAVO_API extern const ldxkw ldxfde[50];
TAVO_API extern const int16_t ldxfdi[26];
TAVO_API extern const int16_t ldxfdci[47];
/* The suffixes "sp", "spth", "th", "thsp" (code: their flag bits). */
TAVO_API extern const ldxkw ldxfdx[5];
TAVO_API extern const ldxkw ldxfdy[5];

/* Groups of elements of which an input model may hold one: the error and a
 * zero-terminated list of element codes; ended by a zero entry. */
typedef struct ldxpmg {
    int32_t err;
    const uint8_t *list;
} ldxpmg;
TAVO_API extern const uint8_t ldxpme1[3], ldxpme2[8], ldxpme3[3], ldxpme4[3], ldxpme5[3],
    ldxpme6[5], ldxpme7[4], ldxpme8[4], ldxpme9[5];
TAVO_API extern const ldxpmg ldxpmx[10];

/* Compiles an output model (ldxsto) or an input model (ldxsti, which also
 * refuses repeated, conflicting and output-only elements) of len bytes
 * (at most 255) into out (size bytes, at most 255 used); returns the bytes
 * written. */
TAVO_API uint32_t ldxsto(ldxctx *ctx, const char *model, uint32_t len, uint8_t *out,
                         uint32_t size) TAVO_NOEXCEPT;
TAVO_API uint32_t ldxsti(ldxctx *ctx, const char *model, uint32_t len, uint8_t *out,
                         uint32_t size) TAVO_NOEXCEPT;
/* Scans the next item of a model and writes it, advancing the model and
 * the output; returns the element code, 45 for a literal, 0 for the end. */
TAVO_API int32_t ldxsnf(ldxctx *ctx, const uint8_t **model, uint32_t *len, uint8_t **out,
                        uint32_t *size) TAVO_NOEXCEPT;
/* The longest keyword of a sorted table, from entry first on, that the
 * text begins with (case ignored), or null. */
TAVO_API const ldxkw *ldxmfn(ldxctx *ctx, const uint8_t *text, uint32_t len,
                             const ldxkw *first) TAVO_NOEXCEPT;
/* Writes a compiled format back as model text, NUL-terminated; returns
 * its length (1801 when size is too small: the text is cut). Keywords keep
 * their case, "fm" marks each change of the fill flag, literal text other
 * than one character that is no letter or digit is quoted; where two items would
 * read back as one, a separator ("|") or an empty "fmfm" keeps them apart,
 * so that the text compiles to the same items. */
TAVO_API uint32_t ldxifs(ldxctx *ctx, const uint8_t *fmt, char *out, uint32_t size) TAVO_NOEXCEPT;
/* The element code of a model of exactly one rounding unit ("MM", "YYYY").
 * 1899 for an element that is no unit, 1898 for more than one item. */
TAVO_API int32_t ldxgpc(ldxctx *ctx, const char *model, uint32_t len) TAVO_NOEXCEPT;

/* ---- Arithmetic, weeks and rounding ---------------------------------------------- */

/* Adds months; the last day of a month (or a day beyond the new month)
 * becomes the last day of the new month. 1841 outside -4712..9999. */
TAVO_API void ldxadm(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t months) TAVO_NOEXCEPT;
/* Adds days and seconds. 1841 outside -4712..9999. */
TAVO_API void ldxads(ldxctx *ctx, ldxdate *out, const ldxdate *date,
                     const ldxitv *itv) TAVO_NOEXCEPT;
/* Months from date2 to date1 as a number (a month counts 31 days in the
 * fraction), written without a length byte at num; returns its length. */
TAVO_API uint32_t ldxsbm(ldxctx *ctx, uint8_t *num, const ldxdate *date1,
                         const ldxdate *date2) TAVO_NOEXCEPT;
/* The last day of the date's month, time kept. */
TAVO_API void ldxldd(ldxctx *ctx, ldxdate *out, const ldxdate *date) TAVO_NOEXCEPT;
/* Weekday 1..7 of a Julian day, counted from the language's first day. */
TAVO_API int32_t ldxdow(ldxctx *ctx, int32_t jday) TAVO_NOEXCEPT;
/* Weekday 1..7 of a number (mode 1; value and len as an lnx number) or of a
 * day name or abbreviation (len bytes of text); 1846 when it is none. */
TAVO_API int32_t ldxdyn(ldxctx *ctx, const void *value, uint32_t len, int32_t mode) TAVO_NOEXCEPT;
/* The first date after date on the weekday, time kept. */
TAVO_API void ldxnxd(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t weekday) TAVO_NOEXCEPT;
/* ISO 8601 week (1..53) and ISO year. */
TAVO_API int32_t ldxisw(ldxctx *ctx, const ldxdate *date) TAVO_NOEXCEPT;
TAVO_API int32_t ldxisy(ldxctx *ctx, const ldxdate *date) TAVO_NOEXCEPT;
/* Rounds or truncates to a unit given as an element code (ldxgpc); 600 for
 * a code that is no unit. */
TAVO_API void ldxrnd(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t unit) TAVO_NOEXCEPT;
TAVO_API void ldxtrn(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t unit) TAVO_NOEXCEPT;

/* ---- Dates to text ------------------------------------------------------------------ */

/* The fixed period words "a.d.", "a.m.", "b.c.", "p.m." (code: 0 for a.d.
 * and a.m., 1 for b.c. and p.m.), in ASCII and in EBCDIC, ended by an
 * all-zero entry. */
TAVO_API extern const ldxkw ldxpaa[5];
TAVO_API extern const ldxkw ldxpae[5];

/* Writes a date as text under a compiled format (null: the context's
 * default format) into out (size bytes, at most 65535 used), in the
 * language of the context; adds a NUL when there is room for it. Returns
 * the bytes written before the NUL. 1801 when the text does not fit
 * (nothing more is written), 600 when the language services refuse a word
 * or the format holds an unknown code. */
TAVO_API uint32_t ldxdts(ldxctx *ctx, char *out, uint32_t size, const ldxdate *date,
                         const uint8_t *fmt) TAVO_NOEXCEPT;
/* The largest number of bytes ldxdts can write under a compiled format
 * (null: the default format), the NUL not counted. */
TAVO_API uint32_t ldxmxsz(ldxctx *ctx, const uint8_t *fmt) TAVO_NOEXCEPT;

/* ---- Text to dates ------------------------------------------------------------------ */

/* Reads a date from text (len bytes) under a compiled input format (null:
 * the context's default format). What the text leaves out comes from the
 * reference date's year and month (null: the current date) and day 1, and
 * midnight. Two-digit "rr" years fall within 50 years of the reference
 * year; the Julian day, day of year, weekday and seconds since midnight are
 * checked against the other fields. Blanks are skipped and a literal
 * skips as many characters of any kind, except after "fx", which makes
 * matching exact. A meridian without an hour gives the first hour of its
 * half of the day (0 or 12). Errors: 1830..1862, 600. */
TAVO_API void ldxstd(ldxctx *ctx, ldxdate *out, const ldxdate *ref, const char *text,
                     uint32_t len, const uint8_t *fmt) TAVO_NOEXCEPT;
/* Reads the item at *fmt from the text at the cursor (no further than the
 * byte offset end), advancing both; stores its value (months 1..12,
 * weekdays as ldxdow counts them, 0 or 1 for the meridian and era words)
 * when value is not null. Returns the element code, or 0 for a literal and
 * for "fx" (which toggles the context's exact matching). */
TAVO_API int32_t ldxpv(ldxctx *ctx, lxcur *text, uint32_t end, const uint8_t **fmt,
                       int32_t *value) TAVO_NOEXCEPT;
/* 1 when a date read under the format (null: the default) takes its year
 * or its month from the reference date, else 0. With text (not null), the
 * text is also read against the format, with ldxstd's errors. 600 for an
 * element no date can be read with here ("rr", "e", output-only ones). */
TAVO_API int32_t ldxsdd(ldxctx *ctx, const char *text, uint32_t len,
                        const uint8_t *fmt) TAVO_NOEXCEPT;

TAVO_END_DECLS

#endif /* LDX_H */
