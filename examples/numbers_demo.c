/* numbers_demo: the decimal number type at work, through the C interface.
 *
 * Encodes a few values, computes with them and prints each result's bytes
 * beside its decimal value. */
#include <stdio.h>
#include <string.h>

#include "lnx.h"

/* Prints a number's decimal value from its unpacked digits. */
static void print_value(const uint8_t *num, uint32_t len) {
    uint8_t form[LNXBUFLEN];
    int negative = lnxqgnm(form, sizeof form, num, (int32_t)len);
    int count = form[0];
    int exp = form[1] - 65; /* base-100 exponent of the first digit */
    char text[128];
    size_t pos = 0;
    int i;

    if (count == 0) {
        printf("0");
        return;
    }
    if (form[2] == 100) {
        printf("%sinfinity", negative ? "-" : "+");
        return;
    }
    if (negative) text[pos++] = '-';
    if (exp < 0) {
        text[pos++] = '0';
        text[pos++] = '.';
        for (i = -1; i > exp; --i) {
            text[pos++] = '0';
            text[pos++] = '0';
        }
    }
    for (i = 0; i < count || i <= exp; ++i) {
        int d = i < count ? form[2 + i] : 0;
        if (exp >= 0 && i == exp + 1) text[pos++] = '.';
        if (pos + 3 >= sizeof text) break;
        /* The leading digit of the integer part drops its tens when zero. */
        if (!(i == 0 && exp >= 0 && d < 10)) text[pos++] = (char)('0' + d / 10);
        text[pos++] = (char)('0' + d % 10);
    }
    /* A fraction ends in its last non-zero decimal digit. */
    if (count > exp + 1 && text[pos - 1] == '0') --pos;
    text[pos] = '\0';
    printf("%s", text);
}

static void show(const char *what, const uint8_t *num, uint32_t len) {
    uint32_t i;
    printf("%-28s", what);
    print_value(num, len);
    printf("\n%-28s", "");
    for (i = 0; i < len; ++i) printf("%02X ", num[i]);
    printf("(%u bytes)\n", len);
}

int main(void) {
    uint8_t a[LNXMAXLEN], b[LNXMAXLEN], r[LNXMAXLEN];
    uint32_t alen, blen, rlen;
    int32_t big = 2147483647, small = -42;
    double third = 1.0 / 3.0;

    lnxmin(&big, 4, 2, a, &alen);
    show("2147483647", a, alen);
    lnxmin(&small, 4, 2, b, &blen);
    show("-42", b, blen);

    lnxadd(a, (int32_t)alen, b, (int32_t)blen, r, &rlen);
    show("2147483647 + -42", r, rlen);
    lnxmul(a, (int32_t)alen, a, (int32_t)alen, r, &rlen);
    show("2147483647 squared", r, rlen);
    lnxmul(r, (int32_t)rlen, r, (int32_t)rlen, r, &rlen);
    show("... squared again", r, rlen);

    lnxdiv(NULL, 1, NULL, 3, r, &rlen);
    show("1 / 3 (40 digits)", r, rlen);
    lnxrou(r, (int32_t)rlen, r, &rlen, 2);
    show("rounded to 2 places", r, rlen);

    lnxdiv(NULL, 2, NULL, 3, r, &rlen);
    lnxfpr(r, (int32_t)rlen, r, &rlen, 5);
    show("2 / 3 to 5 digits", r, rlen);

    lnxren(&third, 8, r, &rlen);
    show("the double 1.0 / 3.0", r, rlen);

    lnxdiv(NULL, -7, NULL, 0, r, &rlen);
    show("-7 / 0", r, rlen);
    lnxmod(NULL, -7, NULL, 3, r, &rlen);
    show("-7 mod 3", r, rlen);
    return 0;
}
