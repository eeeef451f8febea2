/* Every public header compiles as C99 and links against the shared
 * library; a few calls check that the C declarations match the library. */
#include "lmx.h"
#include "lnx.h"
#include "lx.h"

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
    if (check_language() != 0) {
        fprintf(stderr, "no January\n");
        return 1;
    }
    return 0;
}
