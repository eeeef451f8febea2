// Number format models: the character tables, the compiled date models,
// parsing a model (lnxpfl) and printing a number under it (lnxnft).
#include <cstring>

#include "lnx.h"
#include "numbers/lnx_text.hpp"

extern "C" {

TAVO_API extern const uint8_t lnxqasc_chars[46] = {
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '-', ' ', '.', ',', '$',
    '<', '>', '(', ')', '#', '~', 'b', 'c', 'd', 'e', 'f', 'g', 'i', 'l', 'm', 'p',
    'r', 's', 't', 'v', 'B', 'C', 'E', 'I', 'L', 'M', 'P', 'R', 'S', 'T'};

TAVO_API extern const uint8_t lnxqebc_chars[46] = {
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x4E, 0x60, 0x40, 0x4B, 0x6B, 0x5B,
    0x4C, 0x6E, 0x4D, 0x5D, 0x7B, 0xA1, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x89, 0x93, 0x94, 0x97,
    0x99, 0xA2, 0xA3, 0xA5, 0xC2, 0xC3, 0xC5, 0xC9, 0xD3, 0xD4, 0xD7, 0xD9, 0xE2, 0xE3};

// Writable by callers that want other characters without a handle.
TAVO_API uint8_t lnxqcom_chars[46] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '-',
                                      ' ', '.', ',', '$', '<', '>', '(', ')', '#', '~', 'b', 'c',
                                      'd', 'e', 'f', 'g', 'i', 'l', 'm', 'p', 'r', 's', 't', 'v',
                                      'B', 'C', 'E', 'I', 'L', 'M', 'P', 'R', 'S', 'T'};

// Compiled date models: MM, DD and YY filled to two digits, separated by
// one-character literals (0x2E, then the slash of the set), ended by 0, 0.
TAVO_API extern const uint8_t lnxqdate[16] = {0x11, 0x10, 0x2E, '/',  0x16,
                                              0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqedate[16] = {0x16, 0x10, 0x2E, '/',  0x11,
                                               0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqa_date[16] = {0x11, 0x10, 0x2E, '/',  0x16,
                                                0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqa_edate[16] = {0x16, 0x10, 0x2E, '/',  0x11,
                                                 0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqe_date[16] = {0x11, 0x10, 0x2E, 0x61, 0x16,
                                                0x10, 0x2E, 0x61, 0x06, 0x10};
TAVO_API extern const uint8_t lnxqe_edate[16] = {0x16, 0x10, 0x2E, 0x61, 0x11,
                                                 0x10, 0x2E, 0x61, 0x06, 0x10};

}  // extern "C"
