#include "messages.hpp"

#include <array>

namespace tavo::cli {

namespace {

struct Entry {
    int32_t err;
    std::string_view text;
};

constexpr std::array entries = {
    Entry{600, "internal date error (no language environment or date format)"},
    Entry{1800, "a literal in the date format is longer than 210 bytes"},
    Entry{1801, "the date format or the date text is too long"},
    Entry{1810, "a date format element appears twice"},
    Entry{1811, "the day of the year and the Julian day cannot both be given"},
    Entry{1812, "the year may be given only once"},
    Entry{1813, "the hour may be given only once"},
    Entry{1814, "AM/PM and A.M./P.M. cannot both be given"},
    Entry{1815, "AD/BC and A.D./B.C. cannot both be given"},
    Entry{1816, "the month may be given only once"},
    Entry{1817, "the day of the week may be given only once"},
    Entry{1818, "HH24 cannot be given with a meridian (AM/PM)"},
    Entry{1819, "a signed year cannot be given with an era (AD/BC)"},
    Entry{1820, "a date format element that cannot be read back"},
    Entry{1821, "the date format is not recognised"},
    Entry{1830, "text is left over after the date format"},
    Entry{1831, "the year does not agree with the Julian day"},
    Entry{1832, "the day of the year does not agree with the Julian day"},
    Entry{1833, "the month does not agree with the Julian day or day of the year"},
    Entry{1834, "the day does not agree with the Julian day or day of the year"},
    Entry{1835, "the day of the week does not agree with the date"},
    Entry{1836, "the hour does not agree with the seconds since midnight"},
    Entry{1837, "the minutes do not agree with the seconds since midnight"},
    Entry{1838, "the seconds do not agree with the seconds since midnight"},
    Entry{1839, "the day is beyond the end of the month"},
    Entry{1840, "the text ends before the date format"},
    Entry{1841, "the year must be between -4712 and 9999, and not 0"},
    Entry{1842, "the quarter must be between 1 and 4"},
    Entry{1843, "not a valid month"},
    Entry{1844, "the week of the year must be between 1 and 52"},
    Entry{1845, "the week of the month must be between 1 and 4"},
    Entry{1846, "not a valid day of the week"},
    Entry{1847, "the day of the month must be between 1 and the last day of the month"},
    Entry{1848, "the day of the year must be between 1 and 365 (366 in a leap year)"},
    Entry{1849, "the hour must be between 1 and 12"},
    Entry{1850, "the hour must be between 0 and 23"},
    Entry{1851, "the minutes must be between 0 and 59"},
    Entry{1852, "the seconds must be between 0 and 59"},
    Entry{1853, "the seconds since midnight must be between 0 and 86399"},
    Entry{1854, "the Julian day must be between 1 and 5373484"},
    Entry{1855, "AM/A.M. or PM/P.M. expected"},
    Entry{1856, "AD/A.D. or BC/B.C. expected"},
    Entry{1857, "not a valid time zone"},
    Entry{1858, "a value in the text has too many digits"},
    Entry{1860, "the ISO week must be between 1 and 53"},
    Entry{1861, "the text does not match a literal of the date format"},
    Entry{1862, "a number in the text does not have the width of its format element"},
    Entry{1898, "a rounding unit of more than one element"},
    Entry{1899, "not a rounding unit"},
};

}  // namespace

std::string_view date_error_text(int32_t err) noexcept {
    for (const Entry &e : entries)
        if (e.err == err) return e.text;
    return "date error";
}

}  // namespace tavo::cli
