/* Every public header compiles as C99 and links against the shared
 * library; a few calls check that the C declarations match the library. */
#include "lc.h"
#include "ldx.h"
#include "lmx.h"
#include "lnx.h"
#include "lx.h"
#include "sosd.h"

#include <stdio.h>

/* The language record as C sees it, and a month name through it. */
static int check_language(void) {
    lxlinfo info;
    lxwork w;
    char month[16];
    if (sizeof info != 284 || lxlfill(&info, "AMERICAN_AMERICA.US7ASCII", 0) != LXS_OK) return 1;
    if (lxwbind(&w, lxenvget(&info)) != LXS_OK || info.decimal != '.') return 1;
    return lxitem(LXI_MONTH, month, sizeof month, &w) == 7 ? 0 : 1;
}

/* One DES block of the standard's worked example, a search and a swap. */
static int check_chars(void) {
    uint32_t key[2], block[2], expect[2], schedule[LMXESCHED];
    char a[2] = {'a', 'b'}, b[2] = {'c', 'd'};
    lmxehtl("133457799BBCDFF1", key);
    lmxehtl("0123456789ABCDEF", block);
    lmxehtl("85E813540F0AB405", expect);
    lmxegks(key, schedule, 1);
    lmxeecb(schedule, block, block);
    if (block[0] != expect[0] || block[1] != expect[1]) return 1;
    if (lcmsub("a\ttab", 5, "tab", 3) != 2 || lcunulstr[0] != '\0') return 1;
    slcswap(a, b, 2);
    return a[0] == 'c' && b[1] == 'b' ? 0 : 1;
}

int main(void) {
    uint8_t sum[LNXBUFLEN];
    uint32_t len = 0;
    int32_t one = 1;
    uint8_t num[LNXMAXLEN];
    uint32_t numlen = 0;

    lnxmin(&one, sizeof one, 2, num, &numlen);
    lnxadd(num, (int32_t)numlen, lnxqpos1, 0, sum, &len);
    if (lmxcmp(sum, len, lnxqtwo + 1, lnxqtwo[0]) != 0) {
        fprintf(stderr, "1 + 1 is not 2\n");
        return 1;
    }
    if (check_chars() != 0) {
        fprintf(stderr, "characters and DES\n");
        return 1;
    }
    if (check_language() != 0) {
        fprintf(stderr, "no January\n");
        return 1;
    }
    return 0;
}
