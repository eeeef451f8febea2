// The tables of date format models: elements, keywords, suffixes and the
// exclusive groups of input models.
//
// Width note for the maximum-size tables of date-to-text: spelled widths
// differ by language; French and Spanish are longer than English ("yy" 21
// and 18 against 13, "ddd" 33/32 against 27, "yyyy" 46/43 against 42, "j"
// 79/78 against 78), so such tables must take the widest language.
#include <cstring>

#include "dates/ldx_internal.h"

extern "C" {

// error, minimum, maximum, kind
TAVO_API extern const ldxfce ldxfcd[47] = {{0, 0, 0, 0x00, {}},
                                           {0, 0, 48, 0x02, {}},
                                           {0, -46, 48, 0x23, {}},
                                           {1841, 0, 9, 0x01, {}},
                                           {1841, 0, 9, 0x01, {}},
                                           {1841, 0, 99, 0x02, {}},
                                           {1841, 0, 99, 0x02, {}},
                                           {1841, 0, 999, 0x03, {}},
                                           {1841, 0, 999, 0x03, {}},
                                           {1841, 0, 9999, 0x04, {}},
                                           {1841, 0, 9999, 0x04, {}},
                                           {1841, 0, 9999, 0x15, {}},
                                           {1841, -4712, 9999, 0x25, {}},
                                           {1841, -4712, 9999, 0x36, {}},
                                           {0, 0, 9999, 0xC4, {}},
                                           {0, -4712, 9999, 0xE5, {}},
                                           {1842, 1, 4, 0x01, {}},
                                           {1843, 1, 12, 0x02, {}},
                                           {1860, 1, 53, 0x02, {}},
                                           {1844, 1, 52, 0x02, {}},
                                           {1845, 1, 4, 0x01, {}},
                                           {1846, 1, 7, 0x01, {}},
                                           {1847, 1, 31, 0x02, {}},
                                           {1848, 1, 366, 0x03, {}},
                                           {1850, 0, 23, 0x02, {}},
                                           {1849, 1, 12, 0x02, {}},
                                           {1851, 0, 59, 0x02, {}},
                                           {1852, 0, 59, 0x02, {}},
                                           {1853, 0, 86399, 0x05, {}},
                                           {1854, 1, 5373484, 0x07, {}},
                                           {1843, 14, 25, 0x80, {}},
                                           {1843, 26, 37, 0x81, {}},
                                           {1846, 0, 6, 0x82, {}},
                                           {1846, 7, 13, 0x83, {}},
                                           {1855, 40, 41, 0xC2, {}},
                                           {1855, 0, 0, 0xC4, {}},
                                           {1856, 42, 43, 0xC2, {}},
                                           {1856, 1, 0, 0xC4, {}},
                                           {1843, 0, 0, 0x84, {}},
                                           {0, 0, 0, 0x00, {}},
                                           {1841, 0, 99, 0x02, {}},
                                           {1841, 0, 9999, 0x04, {}},
                                           {0, 0, 0, 0x00, {}},
                                           {0, 0, 0, 0x8F, {}},
                                           {0, 0, 0, 0x9E, {}},
                                           {0, 0, 0, 0x00, {}},
                                           {0, 0, 0, 0x00, {}}};

TAVO_API extern const ldxkw ldxfda[50] = {
    {"a.d.", 4, 37},  {"a.m.", 4, 35}, {"ad", 2, 36},    {"am", 2, 34},     {"b.c.", 4, 37},
    {"bc", 2, 36},    {"cc", 2, 1},    {"d", 1, 21},     {"day", 3, 32},    {"dd", 2, 22},
    {"ddd", 3, 23},   {"dy", 2, 33},   {"e", 1, 43},     {"ee", 2, 44},     {"fm", 2, 39},
    {"fx", 2, 42},    {"hh", 2, 25},   {"hh12", 4, 25},  {"hh24", 4, 24},   {"i", 1, 3},
    {"iw", 2, 18},    {"iy", 2, 5},    {"iyy", 3, 7},    {"iyyy", 4, 9},    {"j", 1, 29},
    {"mi", 2, 26},    {"mm", 2, 17},   {"mon", 3, 31},   {"month", 5, 30},  {"p.m.", 4, 35},
    {"pm", 2, 34},    {"q", 1, 16},    {"rm", 2, 38},    {"rr", 2, 40},     {"rrrr", 4, 41},
    {"scc", 3, 2},    {"ss", 2, 27},   {"sssss", 5, 28}, {"sy,yyy", 6, 13}, {"syear", 5, 15},
    {"syyyy", 5, 12}, {"w", 1, 20},    {"ww", 2, 19},    {"y", 1, 4},       {"y,yyy", 5, 11},
    {"year", 4, 14},  {"yy", 2, 6},    {"yyy", 3, 8},    {"yyyy", 4, 10},   {{0}, 0, 0}};
TAVO_API extern const ldxkw ldxfde[50] = {{"\x81\x4B\x84\x4B", 4, 37},
                                          {"\x81\x4B\x94\x4B", 4, 35},
                                          {"\x81\x84", 2, 36},
                                          {"\x81\x94", 2, 34},
                                          {"\x82\x4B\x83\x4B", 4, 37},
                                          {"\x82\x83", 2, 36},
                                          {"\x83\x83", 2, 1},
                                          {"\x84", 1, 21},
                                          {"\x84\x81\xA8", 3, 32},
                                          {"\x84\x84", 2, 22},
                                          {"\x84\x84\x84", 3, 23},
                                          {"\x84\xA8", 2, 33},
                                          {"\x85", 1, 43},
                                          {"\x85\x85", 2, 44},
                                          {"\x86\x94", 2, 39},
                                          {"\x86\xA7", 2, 42},
                                          {"\x88\x88", 2, 25},
                                          {"\x88\x88\xF1\xF2", 4, 25},
                                          {"\x88\x88\xF2\xF4", 4, 24},
                                          {"\x89", 1, 3},
                                          {"\x89\xA6", 2, 18},
                                          {"\x89\xA8", 2, 5},
                                          {"\x89\xA8\xA8", 3, 7},
                                          {"\x89\xA8\xA8\xA8", 4, 9},
                                          {"\x91", 1, 29},
                                          {"\x94\x89", 2, 26},
                                          {"\x94\x94", 2, 17},
                                          {"\x94\x96\x95", 3, 31},
                                          {"\x94\x96\x95\xA3\x88", 5, 30},
                                          {"\x97\x4B\x94\x4B", 4, 35},
                                          {"\x97\x94", 2, 34},
                                          {"\x98", 1, 16},
                                          {"\x99\x94", 2, 38},
                                          {"\x99\x99", 2, 40},
                                          {"\x99\x99\x99\x99", 4, 41},
                                          {"\xA2\x83\x83", 3, 2},
                                          {"\xA2\xA2", 2, 27},
                                          {"\xA2\xA2\xA2\xA2\xA2", 5, 28},
                                          {"\xA2\xA8\x6B\xA8\xA8\xA8", 6, 13},
                                          {"\xA2\xA8\x85\x81\x99", 5, 15},
                                          {"\xA2\xA8\xA8\xA8\xA8", 5, 12},
                                          {"\xA6", 1, 20},
                                          {"\xA6\xA6", 2, 19},
                                          {"\xA8", 1, 4},
                                          {"\xA8\x6B\xA8\xA8\xA8", 5, 11},
                                          {"\xA8\x85\x81\x99", 4, 14},
                                          {"\xA8\xA8", 2, 6},
                                          {"\xA8\xA8\xA8", 3, 8},
                                          {"\xA8\xA8\xA8\xA8", 4, 10},
                                          {{0}, 0, 0}};
TAVO_API extern const ldxkw ldxfdx[5] = {
    {"sp", 2, 2}, {"spth", 4, 3}, {"th", 2, 1}, {"thsp", 4, 3}, {{0}, 0, 0}};
TAVO_API extern const ldxkw ldxfdy[5] = {{"\xA2\x97", 2, 2},
                                         {"\xA2\x97\xA3\x88", 4, 3},
                                         {"\xA3\x88", 2, 1},
                                         {"\xA3\x88\xA2\x97", 4, 3},
                                         {{0}, 0, 0}};
TAVO_API extern const int16_t ldxfdi[26] = {0,  4,     6,     7,     12,    14,    32767, 16,   19,
                                            24, 32767, 32767, 25,    32767, 32767, 29,    31,   32,
                                            35, 32767, 32767, 32767, 41,    32767, 43,    32767};
TAVO_API extern const int16_t ldxfdci[47] = {
    -1, 6,  35, 19, 43, 21, 46, 22, 47, 23, 48, 44, 40, 38, 45, 39, 31, 26, 20, 42, 41, 7,  9, 10,
    18, 16, 25, 36, 37, 24, 28, 27, 8,  11, 3,  1,  2,  0,  32, 14, 33, 34, 15, 12, 13, -1, -1};

TAVO_API extern const uint8_t ldxpme1[3] = {23, 29, 0};
TAVO_API extern const uint8_t ldxpme2[8] = {4, 6, 8, 10, 12, 11, 13, 0};
TAVO_API extern const uint8_t ldxpme3[3] = {25, 24, 0};
TAVO_API extern const uint8_t ldxpme4[3] = {34, 35, 0};
TAVO_API extern const uint8_t ldxpme5[3] = {36, 37, 0};
TAVO_API extern const uint8_t ldxpme6[5] = {30, 31, 17, 38, 0};
TAVO_API extern const uint8_t ldxpme7[4] = {32, 33, 21, 0};
TAVO_API extern const uint8_t ldxpme8[4] = {34, 35, 24, 0};
TAVO_API extern const uint8_t ldxpme9[5] = {12, 13, 36, 37, 0};
TAVO_API extern const ldxpmg ldxpmx[10] = {
    {1811, ldxpme1}, {1812, ldxpme2}, {1813, ldxpme3}, {1814, ldxpme4}, {1815, ldxpme5},
    {1816, ldxpme6}, {1817, ldxpme7}, {1818, ldxpme8}, {1819, ldxpme9}, {0, nullptr}};

}  // extern "C"
