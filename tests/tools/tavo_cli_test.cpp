// End-to-end tests of the tavo command: the built binary runs on scripted
// arguments and input, and its output, messages and exit status are checked.
// Dates are checked against the calendar of <chrono>, numbers against GMP.
#include <fcntl.h>
#include <gmp.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern char **environ;

namespace {

struct Outcome {
    int status = -1;  // exit status; 128 + n for a signal
    std::string out, err;
};

std::string slurp(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs the binary with the arguments and standard input, in an environment
// without VELMAR_LANG so that the default language is the library's own.
Outcome tavo(const std::vector<std::string> &args, const std::string &input = "") {
    char dir[] = "/tmp/tavo_cli_XXXXXX";
    if (mkdtemp(dir) == nullptr) return {};
    std::string in = std::string(dir) + "/in", out = std::string(dir) + "/out",
                err = std::string(dir) + "/err";
    std::ofstream(in, std::ios::binary) << input;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argv_s = {TAVO_BINARY};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &a : argv_s) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char *> env;
    for (char **e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "VELMAR_LANG=", 12) != 0) env.push_back(*e);
    env.push_back(nullptr);

    Outcome r;
    pid_t pid;
    if (posix_spawn(&pid, TAVO_BINARY, &actions, nullptr, argv.data(), env.data()) == 0) {
        int st = 0;
        waitpid(pid, &st, 0);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    }
    posix_spawn_file_actions_destroy(&actions);
    r.out = slurp(out);
    r.err = slurp(err);
    std::remove(in.c_str());
    std::remove(out.c_str());
    std::remove(err.c_str());
    rmdir(dir);
    return r;
}

std::vector<std::string> lines_of(const std::string &s) {
    std::vector<std::string> v;
    std::istringstream in(s);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

// Runs many expressions in one process, one a line, and returns the output
// lines; every expression must succeed.
std::vector<std::string> eval_lines(const std::vector<std::string> &exprs,
                                    const std::vector<std::string> &options = {}) {
    std::string input;
    for (auto &e : exprs) input += e + "\n";
    Outcome r = tavo(options, input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return lines_of(r.out);
}

// ---- Values ------------------------------------------------------------------

struct Case {
    const char *expr;
    const char *expected;
};

constexpr Case value_cases[] = {
    // numbers and their shortest exact text
    {"1+2", "3"},
    {"0.1+0.2", "0.3"},
    {"1/4", "0.25"},
    {"-7/2", "-3.5"},
    {"2*-3", "-6"},
    {"- -5", "5"},
    {"+5", "5"},
    {"1+2*3", "7"},
    {"(1+2)*3", "9"},
    {"2*3-4/2", "4"},
    {"10-2-3", "5"},
    {"1e3", "1000"},
    {"1.5E-3", "0.0015"},
    {".5", "0.5"},
    {"007.2500", "7.25"},
    {"0", "0"},
    {"0.000", "0"},
    {"1234567890123456789012345678901234567890", "1234567890123456789012345678901234567890"},
    {"1e39", "1000000000000000000000000000000000000000"},
    {"1e40", "1E+40"},
    {"-1e39", "-1000000000000000000000000000000000000000"},
    {"-1e40", "-1E+40"},
    {"1e-38", "0.00000000000000000000000000000000000001"},
    {"1e-39", "0.000000000000000000000000000000000000001"},
    {"1e-40", "0.0000000000000000000000000000000000000001"},
    {"1e-41", "1E-41"},
    {"-25e-41", "-2.5E-40"},
    {"-25e-40", "-0.0000000000000000000000000000000000000025"},
    {"12345e-41", "1.2345E-37"},
    {"1234567890123456789012345678901234567890e-20", "12345678901234567890.1234567890123456789"},
    {"12345678901234567890123456789012345678.9e-100",
     "1.23456789012345678901234567890123456789E-63"},
    {"9.99e125", "9.99E+125"},
    {"1/3", "0.3333333333333333333333333333333333333333"},
    {"-10/3", "-3.33333333333333333333333333333333333333"},  // 20 base-100 digits: 03 33 ...
    {"100/3", "33.33333333333333333333333333333333333333"},
    {"round(2.5)", "3"},
    {"round(-2.5)", "-3"},
    {"round(1234.5678, 2)", "1234.57"},
    {"round(1234.5678, -2)", "1200"},
    {"trunc(-2.7)", "-2"},
    {"trunc(1234.5678, 2)", "1234.56"},
    {"abs(-4.5)", "4.5"},
    {"ceil(1.2)", "2"},
    {"ceil(-1.2)", "-1"},
    {"floor(-1.2)", "-2"},
    {"mod(7, 3)", "1"},
    {"mod(-7, 3)", "-1"},
    {"mod(7.5, 2)", "1.5"},
    {"mod(7, 0)", "7"},
    {"sign(-3)", "-1"},
    {"sign(0)", "0"},
    {"sign(0.001)", "1"},
    {"to_number(42)", "42"},
    {"to_number('  -1.5e3 ')", "-1500"},
    {"ABS(-1)", "1"},
    // text
    {"'it''s'", "it's"},
    {"''", ""},
    {"'a' || 'b'", "ab"},
    {"1 || 2", "12"},
    {"'x' || 1/4", "x0.25"},
    {"to_char('x')", "x"},
    {"to_char(1/8)", "0.125"},
    // dates under the default format
    {"DATE '2024-02-28' + 1", "29-FEB-24"},
    {"1 + DATE '2024-02-28'", "29-FEB-24"},
    {"date '1999-12-31'", "31-DEC-99"},
    {"'on ' || DATE '2020-01-01'", "on 01-JAN-20"},
    {"to_char(DATE '2024-02-29 13:45:10', 'YYYY-MM-DD HH24:MI:SS')", "2024-02-29 13:45:10"},
    {"to_char(DATE '2024-02-29', 'fmDay, Month ddth YYYY')", "Thursday, February 29th 2024"},
    {"to_char(DATE '2024-03-01', 'fmDDTH')", "1ST"},
    {"DATE '2024-03-01' - DATE '2023-03-01'", "366"},
    {"DATE '2023-03-01' - DATE '2024-03-01'", "-366"},
    {"DATE '2024-01-01 12:00:00' - DATE '2024-01-01'", "0.5"},
    {"DATE '2024-01-01' - DATE '2024-01-01 06:00:00'", "-0.25"},
    {"DATE '1582-10-15' - DATE '1582-10-04'", "1"},
    {"to_char(DATE '2024-01-01' + 1/24, 'HH24:MI:SS')", "01:00:00"},
    {"to_char(DATE '2024-01-01' - 0.5, 'YYYY-MM-DD HH24:MI')", "2023-12-31 12:00"},
    {"to_char(DATE '2000-01-01' + 0.99999999, 'YYYY-MM-DD HH24:MI:SS')", "2000-01-02 00:00:00"},
    {"to_char(DATE '9999-12-31' + 0.5, 'YYYY-MM-DD HH24')", "9999-12-31 12"},
    {"to_char(DATE '-4712-01-01' + 1, 'SYYYY-MM-DD')", "-4712-01-02"},
    {"to_char(add_months(DATE '1996-01-31', 1), 'YYYY-MM-DD')", "1996-02-29"},
    {"to_char(add_months(DATE '1996-02-29', -12), 'YYYY-MM-DD')", "1995-02-28"},
    {"to_char(add_months(DATE '2024-01-15', 2.9), 'YYYY-MM-DD')", "2024-03-15"},
    {"months_between(DATE '2024-03-31', DATE '2024-01-31')", "2"},
    {"months_between(DATE '2024-01-31', DATE '2024-03-31')", "-2"},
    {"to_char(last_day(DATE '2023-02-10 10:00:00'), 'YYYY-MM-DD HH24')", "2023-02-28 10"},
    {"to_char(next_day(DATE '2024-05-17', 'MONDAY'), 'YYYY-MM-DD')", "2024-05-20"},
    {"to_char(next_day(DATE '2024-05-17', 'fri'), 'YYYY-MM-DD')", "2024-05-24"},
    {"to_char(trunc(DATE '2024-05-17 15:00:00', 'MM'), 'YYYY-MM-DD HH24')", "2024-05-01 00"},
    {"to_char(trunc(DATE '2024-05-17 15:00:00'), 'YYYY-MM-DD HH24')", "2024-05-17 00"},
    {"to_char(round(DATE '2024-05-17 15:00:00'), 'YYYY-MM-DD')", "2024-05-18"},
    {"to_char(round(DATE '2024-07-01', 'YYYY'), 'YYYY-MM-DD')", "2025-01-01"},
    {"iso_week(DATE '2021-01-03')", "53"},
    {"iso_year(DATE '2021-01-03')", "2020"},
    {"iso_week(DATE '2021-01-04')", "1"},
    {"to_char(to_date('12/03/2024', 'DD/MM/YYYY'), 'YYYY-MM-DD')", "2024-03-12"},
    {"to_char(to_date('05-MAR-24'), 'YYYY-MM-DD')", "2024-03-05"},
    {"to_date('2024-03-05 10:11:12', 'YYYY-MM-DD HH24:MI:SS') - DATE '2024-03-05'",
     "0.4244444444444444444444444444444444444444"},
    {"DATE '2024-03-05 06:00:00' - DATE '2024-03-05'", "0.25"},
    {"to_char(to_date(DATE '2020-02-02'), 'YYYY')", "2020"},
    {"to_char(DATE '2024-01-15', 'fmDay', 'FRENCH')", "Lundi"},
    {"to_char(to_date('15 mars 2024', 'DD Month YYYY', 'FRENCH'), 'YYYY-MM-DD')", "2024-03-15"},
    // the internal bytes
    {"dump(1)", "number, 2 bytes: C1 02"},
    {"dump(-1)", "number, 3 bytes: 3E 64 66"},
    {"dump(0)", "number, 1 byte: 80"},
    {"dump(100)", "number, 2 bytes: C2 02"},
    {"dump(DATE '2024-01-02 03:04:05')", "date, 7 bytes: 78 7C 01 02 04 05 06"},
    {"dump('ab')", "text, 2 bytes: 61 62"},
};

TEST(TavoValues, EachExpressionPrintsItsValue) {
    std::vector<std::string> exprs;
    for (const Case &c : value_cases) exprs.push_back(c.expr);
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i)
        EXPECT_EQ(got[i], value_cases[i].expected) << value_cases[i].expr;
}

TEST(TavoValues, ArgumentsPrintOneLineEach) {
    Outcome r = tavo({"1+1", "'a'||'b'", "DATE '2001-02-03'"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\nab\n03-FEB-01\n");
    EXPECT_EQ(r.err, "");
}

TEST(TavoValues, ExpressionsThatLookLikeOptions) {
    Outcome r = tavo({"--", "--5"});
    EXPECT_EQ(r.out, "5\n");
    r = tavo({"-5"});
    EXPECT_EQ(r.out, "-5\n");
}

std::string decimal_text(const mpq_t q);

// ---- Number models and the transcendental functions -------------------------

constexpr Case print_cases[] = {
    {"to_char(1234.5, '9,990.99')", " 1,234.50"},
    {"to_char(-0.5, '9,990.99')", "    -0.50"},
    {"to_char(12345, '9,990.99')", "#########"},
    {"to_char(1234.5, 'FM9,990.99')", "1,234.5"},
    {"to_char(-12, '999PR')", " <12>"},
    {"to_char(1994, 'FMRN')", "MCMXCIV"},
    {"to_char(1234, '99EEEE')", "  1E+03"},
    {"to_char(1234.5, 'FM9G990D00', 'GERMAN')", "1.234,50"},
};

TEST(TavoModels, NumbersPrintedUnderModels) {
    std::vector<std::string> exprs;
    for (const Case &c : print_cases) exprs.push_back(c.expr);
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i)
        EXPECT_EQ(got[i], print_cases[i].expected) << print_cases[i].expr;
    Outcome r = tavo({"to_char(1, '9X9')"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("invalid number format model"), std::string::npos) << r.err;
    // A model prepared once serves every line; a bad one fails on each.
    r = tavo({"--fields", "to_char(to_number(:1), '9,999,990.00')", "to_char(1, :2)"},
             "1234.5\t99\n-7\t9X\n");
    EXPECT_EQ(r.out, "     1,234.50\t  1\n");
    EXPECT_NE(r.err.find("line 2: expression 2: to_char: invalid number format model"),
              std::string::npos)
        << r.err;
}

constexpr Case read_cases[] = {
    {"to_number('1,234.50', '9,990.99')", "1234.5"},
    {"to_number('<12>', '999PR')", "-12"},
    {"to_number('1,5', '9D9', 'GERMAN')", "1.5"},
};

TEST(TavoModels, NumbersReadUnderModels) {
    for (const Case &c : read_cases) {
        Outcome r = tavo({c.expr});
        EXPECT_EQ(r.out, std::string(c.expected) + "\n") << c.expr << "\n" << r.err;
    }
    Outcome r = tavo({"to_number('1,5', '9D9')"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("does not match the number format model"), std::string::npos) << r.err;
}

constexpr Case math_cases[] = {
    {"sqrt(16)", "4"},
    {"power(2, 10)", "1024"},
    {"power(2, -2)", "0.25"},
    {"power(-2, 3)", "-8"},
    {"power(-1, 1e20)", "1"},
    {"power(-1, 1e20 + 1)", "-1"},
    {"power(-0.5, 1e10)", "0"},
    {"ln(1)", "0"},
    {"exp(0)", "1"},
    {"sin(0)", "0"},
    {"cos(0)", "1"},
    {"atan2(0, 1)", "0"},
};

TEST(TavoModels, Transcendental) {
    for (const Case &c : math_cases) {
        Outcome r = tavo({c.expr});
        EXPECT_EQ(r.out, std::string(c.expected) + "\n") << c.expr << "\n" << r.err;
    }
    // Square roots of random integers, rounded to 30 places, against GMP's
    // integer square root of n x 10^62 (two guard digits).
    std::mt19937 rng(4);
    std::vector<std::string> exprs, expected;
    mpz_t n, root;
    mpz_inits(n, root, nullptr);
    for (int i = 0; i < 100; ++i) {
        unsigned long v = 1 + rng() % 1000000;
        mpz_ui_pow_ui(n, 10, 64);
        mpz_mul_ui(n, n, v);
        mpz_sqrt(root, n);  // floor(sqrt(v) x 10^32)
        mpz_add_ui(root, root, 50);
        mpz_tdiv_q_ui(root, root, 100);  // half up at the 31st place
        mpq_t q;
        mpq_init(q);
        mpz_set(mpq_numref(q), root);
        mpz_ui_pow_ui(mpq_denref(q), 10, 30);
        mpq_canonicalize(q);
        exprs.push_back("round(sqrt(" + std::to_string(v) + "), 30)");
        expected.push_back(decimal_text(q));
        mpq_clear(q);
    }
    mpz_clears(n, root, nullptr);
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i) EXPECT_EQ(got[i], expected[i]) << exprs[i];
    for (const char *bad : {"sqrt(-1)", "ln(0)", "log(1, 5)", "log(2, -1)", "asin(2)", "acos(-1.5)",
                            "power(-2, 0.5)", "power(0, -1)", "atan2(0, 0)"}) {
        Outcome b = tavo({bad});
        EXPECT_EQ(b.status, 1) << bad;
        EXPECT_EQ(b.out, "") << bad;
        EXPECT_EQ(lines_of(b.err).size(), 1u) << bad << b.err;
    }
}

// ---- Errors --------------------------------------------------------------------

struct ErrorCase {
    const char *expr;
    const char *message;  // a part of the one line on standard error
};

constexpr ErrorCase error_cases[] = {
    {"1 +", "expected a value, found end of expression (column 4)"},
    {"(1", "expected ')'"},
    {"1)", "unexpected ')' after the expression"},
    {"1 2", "unexpected number 2 after the expression"},
    {"'abc", "text literal is not closed"},
    {"1 | 2", "'|' must be doubled"},
    {"@", "unexpected character '@'"},
    {"\x01", "unexpected character byte 1"},
    {"foo(1)", "unknown function 'foo'"},
    {"abs(1, 2)", "abs takes at most 1 argument"},
    {"to_char(1, 'a', 'b', 'c')", "to_char takes at most 3 arguments"},
    {"add_months(DATE '2024-01-01')", "add_months takes at least 2 arguments"},
    {"abs", "expected '(' after abs"},
    {"abs(1,)", "expected a value, found ')'"},
    {"1..2", "malformed number"},
    {"12abc", "malformed number"},
    {"12345678901234567890123456789012345678901", "more than 40 significant digits"},
    {"DATE '2024-02-30'", "not a valid date literal"},
    {"DATE '1582-10-10'", "not a valid date literal"},
    {"DATE '0000-01-01'", "not a valid date literal"},
    {"DATE '2024-01-01 24:00:00'", "not a valid date literal"},
    {"DATE 'soon'", "not a valid date literal"},
    {"DATE + 1", "DATE must be followed by a text literal"},
    {":1", "need --fields"},
    {"1/0", "division by zero"},
    {"1e100*1e100", "'*': numeric overflow"},
    {"9e125+9e125", "'+': numeric overflow"},
    {"1e200", "out of range"},
    {"abs('x')", "abs: the first argument must be a number, not text"},
    {"mod(1, DATE '2024-01-01')", "mod: the second argument must be a number, not a date"},
    {"-'x'", "unary '-' needs a number, not text"},
    {"'a' + 1", "'+' cannot combine text and a number"},
    {"DATE '2024-01-01' * 2", "'*' cannot combine a date and a number"},
    {"DATE '2024-01-01' + DATE '2024-01-01'", "'+' cannot combine a date and a date"},
    {"1 - DATE '2024-01-01'", "'-' cannot combine a number and a date"},
    {"last_day(1)", "last_day: the first argument must be a date, not a number"},
    {"to_char('x', 'YYYY')", "to_char: text takes no format model"},
    {"to_date(1)", "to_date: the first argument must be text, not a number"},
    {"to_number('12x')", "to_number: text is not a number"},
    {"to_number('')", "to_number: text is not a number"},
    {"add_months(DATE '2024-01-01', 1e20)", "out of range"},
    {"round(1, 1e20)", "out of range"},
    {"to_date('31-02-1995', 'DD-MM-YYYY')", "error 1839: the day is beyond the end of the month"},
    {"to_date('1995', 'YYYY.')", "error 1840"},
    {"to_date('1995x', 'YYYY')", "error 1830"},
    {"to_date('2024-13-01', 'YYYY-MM-DD')", "error 1843"},
    {"to_date('2024-01-01', 'YYYY-MM-DD YYYY')", "error 1810"},
    {"to_date('2024', 'WW')", "error 1820"},
    {"to_date('5-3-1995', 'FXDD-MM-YYYY')", "error 1862"},
    {"to_char(DATE '2024-01-01', '1YYYY')", "error 1821"},
    {"to_char(DATE '2024-01-01', '')", "empty date format"},
    {"DATE '9999-12-31' + 1", "error 1841"},
    {"DATE '-4712-01-01' - 1", "error 1841"},
    {"DATE '2000-01-01' + 1e30", "error 1841"},
    {"add_months(DATE '9999-12-01', 1)", "error 1841"},
    {"next_day(DATE '2024-01-01', 'xyz')", "error 1846"},
    {"next_day(DATE '2024-01-01', '')", "error 1846"},
    {"round(DATE '2024-01-01', 'SS')", "error 1899"},
    {"trunc(DATE '2024-01-01', 'MM-DD')", "error 1898"},
    {"to_char(DATE '2024-01-01', 'YYYY', 'KLINGON')", "unknown language"},
};

TEST(TavoErrors, EachErrorIsOneLineAndStatusOne) {
    // All in one run, one expression a line: each failure is one line on
    // standard error, naming its line.
    std::string input;
    for (const ErrorCase &c : error_cases) input += std::string(c.expr) + "\n";
    Outcome r = tavo({}, input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    auto lines = lines_of(r.err);
    ASSERT_EQ(lines.size(), std::size(error_cases)) << r.err;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string where = "tavo: line " + std::to_string(i + 1) + ": ";
        EXPECT_EQ(lines[i].rfind(where, 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find(error_cases[i].message), std::string::npos)
            << error_cases[i].expr << "\n"
            << lines[i];
    }
    // An empty expression given as an argument.
    r = tavo({""});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tavo: expected a value, found end of expression (column 1)\n");
}

TEST(TavoErrors, LinesGoOnAfterABadOne) {
    Outcome r = tavo({}, "1+1\n\n   \nbad(\n2*3\r\nDATE 'x'\n4");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "2\n6\n4\n");
    auto err = lines_of(r.err);
    ASSERT_EQ(err.size(), 2u) << r.err;
    EXPECT_EQ(err[0].rfind("tavo: line 4: unknown function 'bad'", 0), 0u) << err[0];
    EXPECT_EQ(err[1].rfind("tavo: line 6: not a valid date literal", 0), 0u) << err[1];
}

TEST(TavoErrors, ArgumentsGoOnAfterABadOne) {
    Outcome r = tavo({"1", "1/0", "to_date('x', 'DD')", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\n3\n");
    auto err = lines_of(r.err);
    ASSERT_EQ(err.size(), 2u);
    EXPECT_EQ(err[0], "tavo: expression 2: division by zero (column 2)");
    EXPECT_EQ(err[1].rfind("tavo: expression 3: error 18", 0), 0u) << err[1];
}

TEST(TavoErrors, OutputThatCannotBeWritten) {
    int st = std::system(TAVO_BINARY " 1 > /dev/full 2> /dev/null");
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 1);
}

// Reads from the terminal's master side until the text holds want or a
// second passes.
bool read_until(int fd, std::string &text, const std::string &want) {
    for (int i = 0; i < 100 && text.find(want) == std::string::npos; ++i) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10) > 0) {
            char buf[256];
            ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<size_t>(n));
        }
    }
    return text.find(want) != std::string::npos;
}

TEST(TavoTerminal, PromptsAndAnswersEachLineAsItComes) {
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(TAVO_BINARY, "tavo", static_cast<char *>(nullptr));
        _exit(127);
    }
    std::string seen;
    EXPECT_TRUE(read_until(master, seen, "tavo> "));
    ASSERT_EQ(write(master, "6*7\n", 4), 4);
    // The answer comes before any further input.
    EXPECT_TRUE(read_until(master, seen, "42\r\ntavo> ")) << seen;
    ASSERT_EQ(write(master, "\x04", 1), 1);
    int st = 0;
    waitpid(pid, &st, 0);
    close(master);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
}

TEST(TavoErrors, AllGoodIsStatusZero) {
    Outcome r = tavo({}, "1\n2\n");
    EXPECT_EQ(r.status, 0);
    r = tavo({}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

// ---- Options -----------------------------------------------------------------------

TEST(TavoOptions, HelpVersionAndBadUsage) {
    Outcome r = tavo({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: tavo"), std::string::npos);
    r = tavo({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tavo: TAVO Version 3.4.2.2.2 - Production\n");
    r = tavo({"--frobnicate"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown option '--frobnicate'"), std::string::npos);
    r = tavo({"--lang"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--lang needs a value"), std::string::npos);
    r = tavo({"--lang", "KLINGON", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown language"), std::string::npos);
    r = tavo({"--date-format", "YYYY-QQQ-BOGUS", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("bad date format"), std::string::npos) << r.err;
    r = tavo({"--fields"});
    EXPECT_EQ(r.status, 2);
    r = tavo({"--sysdate", "tomorrow", "sysdate"});
    EXPECT_EQ(r.status, 2);
}

TEST(TavoOptions, DateFormatAndLanguage) {
    Outcome r = tavo({"--date-format", "YYYY-MM-DD", "DATE '2024-02-28' + 1",
                      "to_date('2024-03-05') - DATE '2024-03-01'"});
    EXPECT_EQ(r.out, "2024-02-29\n4\n") << r.err;
    r = tavo({"--date-format=DD.MM.YYYY HH24:MI", "DATE '2024-02-28 07:30:00'"});
    EXPECT_EQ(r.out, "28.02.2024 07:30\n") << r.err;
    r = tavo({"--lang", "GERMAN_GERMANY.WE8ISO8859P1",
              "to_char(DATE '2024-03-05', 'fmDD. Month YYYY')"});
    EXPECT_EQ(r.out, "5. M\xe4rz 2024\n") << r.err;
    r = tavo(
        {"--lang=FRENCH", "to_char(to_date('1 janvier 2000', 'DD Month YYYY'), 'YYYY-MM-DD')"});
    EXPECT_EQ(r.out, "2000-01-01\n") << r.err;
}

TEST(TavoOptions, ManyLanguagesFromData) {
    // More distinct names than the command keeps: each line still gets its
    // own language, and the literal one stays right.
    std::string input;
    int count = 0;
    for (const char *l : {"AMERICAN", "ENGLISH", "GERMAN", "FRENCH", "SPANISH", "ITALIAN"})
        for (const char *t : {"AMERICA", "UNITED KINGDOM", "GERMANY", "FRANCE", "SPAIN", "ITALY"})
            for (const char *c : {"US7ASCII", "WE8ISO8859P1", "AL32UTF8"}) {
                input += std::string(l) + "_" + t + "." + c + "\t" + l + "\n";
                ++count;
            }
    Outcome r = tavo({"--fields",
                      "to_char(DATE '2024-01-01', 'fmMonth', :1) || ' ' || "
                      "to_char(DATE '2024-01-01', 'fmMonth', 'FRENCH')",
                      "to_char(DATE '2024-01-01', 'fmMonth', :2)"},
                     input + input);
    EXPECT_EQ(r.status, 0) << r.err;
    auto got = lines_of(r.out);
    ASSERT_EQ(got.size(), static_cast<size_t>(2 * count));
    const std::map<std::string, std::string> january = {
        {"AMERICAN", "January"}, {"ENGLISH", "January"}, {"GERMAN", "Januar"},
        {"FRENCH", "Janvier"},   {"SPANISH", "Enero"},   {"ITALIAN", "Gennaio"}};
    auto in = lines_of(input + input);
    for (size_t i = 0; i < got.size(); ++i) {
        std::string lang = in[i].substr(in[i].find('\t') + 1);
        EXPECT_EQ(got[i], january.at(lang) + " Janvier\t" + january.at(lang)) << in[i];
    }
}

TEST(TavoOptions, FixedClock) {
    Outcome r =
        tavo({"--sysdate", "2020-05-06 07:08:09", "to_char(sysdate, 'YYYY-MM-DD HH24:MI:SS')",
              "sysdate - DATE '2020-05-06'", "to_char(sysdate, 'YYYY', 'GERMAN')"});
    EXPECT_EQ(r.out, "2020-05-06 07:08:09\n0.2973263888888888888888888888888888888889\n2020\n")
        << r.err;
    // The clock: today, whatever it is.
    r = tavo({"sysdate - sysdate", "trunc(sysdate) <= sysdate"});
    EXPECT_EQ(lines_of(r.out).at(0), "0");
}

// ---- Fields ---------------------------------------------------------------------------

TEST(TavoFields, ConvertsEachLine) {
    Outcome r = tavo({"--fields", "to_char(to_date(:1, 'DD/MM/YYYY'), 'YYYY-MM-DD')"},
                     "05/03/2024\n31/12/1999\r\n29/02/2023\n01/01/2000");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "2024-03-05\n1999-12-31\n2000-01-01\n");
    EXPECT_EQ(r.err,
              "tavo: line 3: error 1839: the day is beyond the end of the month (column 9)\n");
}

TEST(TavoFields, SeveralExpressionsJoinWithTabs) {
    Outcome r = tavo({"--fields", ":2 || :1", ":1", "to_number(:2) * 2"}, "a\t1\nb\t2.5\nc\n\t\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1a\ta\t2\n2.5b\tb\t5\n");
    auto err = lines_of(r.err);
    ASSERT_EQ(err.size(), 2u) << r.err;
    EXPECT_EQ(err[0], "tavo: line 3: expression 1: the line has no field :2 (it has 1) (column 1)");
    EXPECT_EQ(err[1].rfind("tavo: line 4: expression 3: to_number: text is not a number", 0), 0u);
}

TEST(TavoFields, BadExpressionStopsBeforeReading) {
    Outcome r = tavo({"--fields", "to_char(:0)"}, "1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("fields are numbered from :1"), std::string::npos);
}

// ---- No input crashes it --------------------------------------------------------------

TEST(TavoRobust, DeepNestingIsRefused) {
    for (std::string expr :
         {std::string(30000, '(') + "1" + std::string(30000, ')'), std::string(50000, '-') + "1",
          "abs(" + std::string(3000, '(') + "1"}) {
        Outcome r = tavo({}, expr + "\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("nested more than"), std::string::npos) << r.err.substr(0, 200);
    }
}

TEST(TavoRobust, LongChainsAreRefused) {
    // A chain of operations is parsed by a loop, but evaluated by recursion.
    std::string sum = "1", concat = "abs(1)";
    for (int i = 0; i < 998; ++i) sum += "+1";
    for (int i = 0; i < 5000; ++i) concat += "||abs(1)";
    Outcome r = tavo({}, sum + "\n" + sum + "+1+1\n" + concat + "\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "999\n");
    auto err = lines_of(r.err);
    ASSERT_EQ(err.size(), 2u) << r.err;
    EXPECT_NE(err[0].find("line 2: expression more than 1000 operations deep"), std::string::npos);
    EXPECT_NE(err[1].find("line 3: expression more than 1000 operations deep"), std::string::npos);
}

TEST(TavoRobust, LongInputsAreBounded) {
    Outcome r = tavo({}, "1+" + std::string(70000, '1') + "\n5\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("expression longer than"), std::string::npos);
    EXPECT_EQ(r.out, "5\n");
    r = tavo({}, "'" + std::string(40000, 'x') + "'\n");
    EXPECT_NE(r.err.find("text literal longer than"), std::string::npos);
    // A long line in field mode is skipped whole; the next one is read.
    r = tavo({"--fields", ":1"}, std::string(3 << 20, 'y') + "\nok\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ok\n");
    EXPECT_NE(r.err.find("line 1: line longer than"), std::string::npos) << r.err;
    // Texts that grow by concatenation.
    std::string big = "'" + std::string(20000, 'z') + "'";
    r = tavo({big + "||" + big});
    EXPECT_NE(r.err.find("text longer than 32767 bytes"), std::string::npos);
    r = tavo({"--fields", ":1 || :1"}, std::string(20000, 'q') + "\n");
    EXPECT_NE(r.err.find("text longer than"), std::string::npos);
    r = tavo({"--fields", ":1"}, std::string(40000, 'q') + "\n");
    EXPECT_NE(r.err.find("longer than 32767 bytes"), std::string::npos);
    // Many fields.
    std::string many;
    for (int i = 0; i < 50000; ++i) many += "\t";
    r = tavo({"--fields", ":50001 || 'end'"}, many + "\n");
    EXPECT_EQ(r.out, "end\n") << r.err;
}

TEST(TavoRobust, RandomInputNeverCrashes) {
    std::mt19937 rng(9);
    const std::vector<std::string> pieces = {"1",
                                             "0",
                                             "-",
                                             "+",
                                             "*",
                                             "/",
                                             "||",
                                             "(",
                                             ")",
                                             ",",
                                             "'a'",
                                             "''",
                                             "'",
                                             "DATE",
                                             "'2024-01-01'",
                                             "1e99",
                                             "1e-99",
                                             "to_char",
                                             "to_date",
                                             "to_number",
                                             "round",
                                             "trunc",
                                             "abs",
                                             "dump",
                                             "mod",
                                             "sysdate",
                                             "add_months",
                                             "next_day",
                                             "'MONDAY'",
                                             "'YYYY'",
                                             "'MM'",
                                             ":1",
                                             "@",
                                             "9999999999999999999999999999999999999999",
                                             "last_day",
                                             "months_between",
                                             "\xff",
                                             "power",
                                             "iso_week"};
    std::string input;
    for (int line = 0; line < 400; ++line) {
        int n = static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i) input += pieces[rng() % pieces.size()] + " ";
        input += "\n";
    }
    for (int line = 0; line < 100; ++line) {
        int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) {
            char c = static_cast<char>(rng() % 256);
            input += c == '\n' ? ' ' : c;
        }
        input += "\n";
    }
    Outcome r = tavo({}, input);
    EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status;
    r = tavo({"--fields", "to_char(to_date(:1, :2), :3) || to_number(:4)"}, input);
    EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status;
}

// ---- Oracles ------------------------------------------------------------------------------

using namespace std::chrono;

std::string ymd_text(const year_month_day &d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(d.year()),
                  static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
    return buf;
}

year_month_day random_day(std::mt19937 &rng) {
    // The Gregorian calendar's range in the library: 1600 on.
    sys_days first = sys_days{year{1600} / 1 / 1}, last = sys_days{year{9999} / 12 / 31};
    auto span = (last - first).count();
    return year_month_day{first + days{static_cast<int>(rng() % static_cast<unsigned>(span + 1))}};
}

// The decimal text of an exact rational whose denominator divides a power
// of ten, in the notation the command uses.
std::string decimal_text(const mpq_t q) {
    mpz_t num, den, scaled;
    mpz_inits(num, den, scaled, nullptr);
    mpz_set(num, mpq_numref(q));
    mpz_set(den, mpq_denref(q));
    int scale = 0;
    while (!mpz_divisible_p(num, den)) {
        mpz_mul_ui(num, num, 10);
        ++scale;
    }
    mpz_divexact(scaled, num, den);
    bool negative = mpz_sgn(scaled) < 0;
    mpz_abs(scaled, scaled);
    std::string digits;
    if (mpz_sgn(scaled) != 0) {
        char *s = mpz_get_str(nullptr, 10, scaled);
        digits = s;
        free(s);
    }
    mpz_clears(num, den, scaled, nullptr);
    if (digits.empty()) return "0";
    while (scale > 0 && digits.back() == '0') {
        digits.pop_back();
        --scale;
    }
    // Value = digits x 10^-scale.
    std::string plain;
    int n = static_cast<int>(digits.size());
    if (scale == 0)
        plain = digits;
    else if (scale < n)
        plain = digits.substr(0, n - scale) + "." + digits.substr(n - scale);
    else
        plain = "0." + std::string(scale - n, '0') + digits;
    // Plain while it writes at most 40 digits, the 0 before the point of a
    // value below 1 not counted.
    int plain_digits = std::max(n, scale);
    if (negative) plain = "-" + plain;
    if (plain_digits <= 40) return plain;
    int lead = n - 1 - scale;
    size_t sig = digits.find_last_not_of('0') + 1;
    std::string e = (negative ? "-" : "") + digits.substr(0, 1);
    if (sig > 1) e += "." + digits.substr(1, sig - 1);
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%02d", lead < 0 ? '-' : '+', lead < 0 ? -lead : lead);
    return e + buf;
}

TEST(TavoOracle, DateDifferencesAgainstTheCalendar) {
    std::mt19937 rng(1);
    std::vector<std::string> exprs, expected;
    for (int i = 0; i < 300; ++i) {
        year_month_day a = random_day(rng), b = random_day(rng);
        // Seconds that are multiples of 27 make a fraction of a day that ends.
        int sa = static_cast<int>(rng() % 3200) * 27, sb = static_cast<int>(rng() % 3200) * 27;
        char ta[16], tb[16];
        std::snprintf(ta, sizeof ta, "%02d:%02d:%02d", sa / 3600, sa / 60 % 60, sa % 60);
        std::snprintf(tb, sizeof tb, "%02d:%02d:%02d", sb / 3600, sb / 60 % 60, sb % 60);
        exprs.push_back("DATE '" + ymd_text(a) + " " + ta + "' - DATE '" + ymd_text(b) + " " + tb +
                        "'");
        long long secs =
            static_cast<long long>((sys_days{a} - sys_days{b}).count()) * 86400 + sa - sb;
        mpq_t q;
        mpq_init(q);
        mpq_set_si(q, 0, 1);
        mpz_set_si(mpq_numref(q), static_cast<long>(secs));
        mpz_set_ui(mpq_denref(q), 86400);
        mpq_canonicalize(q);
        expected.push_back(decimal_text(q));
        mpq_clear(q);
    }
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i) EXPECT_EQ(got[i], expected[i]) << exprs[i];
}

TEST(TavoOracle, DayAndMonthArithmeticAgainstTheCalendar) {
    std::mt19937 rng(2);
    std::vector<std::string> exprs, expected;
    for (int i = 0; i < 300; ++i) {
        year_month_day d = random_day(rng);
        int n = static_cast<int>(rng() % 20001) - 10000;
        year_month_day plus{sys_days{d} + days{n}};
        if (plus.year() >= year{1600} && plus.year() <= year{9999}) {
            exprs.push_back("to_char(DATE '" + ymd_text(d) + "' + " + std::to_string(n) +
                            ", 'YYYY-MM-DD')");
            expected.push_back(ymd_text(plus));
        }
        int m = static_cast<int>(rng() % 2001) - 1000;
        year_month_day first = d.year() / d.month() / 1;
        year_month_day moved = year_month_day{first.year() / first.month() / 1} + months{m};
        if (moved.year() >= year{1600} && moved.year() <= year{9999}) {
            // The last day of a month, or a day beyond the new month, becomes
            // the new month's last day.
            year_month_day_last last_of_d{d.year() / d.month() / last};
            year_month_day_last last_of_moved{moved.year() / moved.month() / last};
            bool at_end = d.day() == last_of_d.day();
            day dd = at_end || d.day() > last_of_moved.day() ? last_of_moved.day() : d.day();
            exprs.push_back("to_char(add_months(DATE '" + ymd_text(d) + "', " + std::to_string(m) +
                            "), 'YYYY-MM-DD')");
            expected.push_back(ymd_text(moved.year() / moved.month() / dd));
        }
        // ISO week: the week of the Thursday of the date's Monday-based week.
        // The library's week table follows the calendar from 1901 to 2100.
        year_month_day w{sys_days{year{1901} / 1 / 1} + days{static_cast<int>(rng() % 73048)}};
        int from_monday = static_cast<int>((weekday{sys_days{w}}.c_encoding() + 6) % 7);
        year_month_day thursday{sys_days{w} - days{from_monday} + days{3}};
        int doy = (sys_days{thursday} - sys_days{thursday.year() / 1 / 1}).count();
        exprs.push_back("iso_week(DATE '" + ymd_text(w) + "') || ' ' || iso_year(DATE '" +
                        ymd_text(w) + "')");
        expected.push_back(std::to_string(doy / 7 + 1) + " " +
                           std::to_string(static_cast<int>(thursday.year())));
    }
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i) EXPECT_EQ(got[i], expected[i]) << exprs[i];
}

// The Julian day number of a date, on the Julian calendar up to 4 October
// 1582 and the Gregorian calendar from 15 October 1582 on (years 1 on).
long julian_day_number(int y, int m, int d) {
    int a = (14 - m) / 12;
    long yy = y + 4800 - a;
    int mm = m + 12 * a - 3;
    long base = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4;
    bool gregorian = y > 1582 || (y == 1582 && (m > 10 || (m == 10 && d >= 15)));
    return gregorian ? base - yy / 100 + yy / 400 - 32045 : base - 32083;
}

TEST(TavoOracle, DifferencesAcrossTheCalendarsAndBack) {
    std::mt19937 rng(5);
    auto month_days = [](int y, int m) {
        static constexpr int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool leap = y < 1582 ? y % 4 == 0 : (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0));
        return len[m - 1] + (m == 2 && leap ? 1 : 0);
    };
    auto random_date = [&](int &y, int &m, int &d) {
        for (;;) {
            y = 1 + static_cast<int>(rng() % 3000);
            m = 1 + static_cast<int>(rng() % 12);
            d = 1 + static_cast<int>(rng() % static_cast<unsigned>(month_days(y, m)));
            if (!(y == 1582 && m == 10 && d > 4 && d < 15)) return;
        }
    };
    std::vector<std::string> exprs, expected;
    for (int i = 0; i < 300; ++i) {
        int y1, m1, d1, y2, m2, d2;
        random_date(y1, m1, d1);
        random_date(y2, m2, d2);
        char a[48], b[48];
        int s1 = static_cast<int>(rng() % 86400), s2 = static_cast<int>(rng() % 86400);
        std::snprintf(a, sizeof a, "%04d-%02d-%02d %02d:%02d:%02d", y1, m1, d1, s1 / 3600,
                      s1 / 60 % 60, s1 % 60);
        std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", y2, m2, d2, s2 / 3600,
                      s2 / 60 % 60, s2 % 60);
        // Whole days against the day numbers.
        exprs.push_back("trunc(DATE '" + std::string(a, 10) + "') - DATE '" + std::string(b, 10) +
                        "'");
        expected.push_back(
            std::to_string(julian_day_number(y1, m1, d1) - julian_day_number(y2, m2, d2)));
        // A difference with its fraction of a day, added back, gives the date.
        exprs.push_back("to_char(DATE '" + std::string(b) + "' + (DATE '" + a + "' - DATE '" + b +
                        "'), 'YYYY-MM-DD HH24:MI:SS')");
        expected.push_back(a);
    }
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i) EXPECT_EQ(got[i], expected[i]) << exprs[i];
}

// A random decimal of up to 19 digits with up to 12 of them after the point.
std::string random_decimal(std::mt19937 &rng, mpq_t q) {
    int ndigits = 1 + static_cast<int>(rng() % 19);
    std::string digits;
    for (int i = 0; i < ndigits; ++i) digits += static_cast<char>('0' + rng() % 10);
    int scale = static_cast<int>(rng() % 13);
    bool negative = rng() % 2 == 0;
    mpz_set_str(mpq_numref(q), digits.c_str(), 10);
    if (negative) mpz_neg(mpq_numref(q), mpq_numref(q));
    mpz_ui_pow_ui(mpq_denref(q), 10, static_cast<unsigned long>(scale));
    mpq_canonicalize(q);
    std::string text = digits;
    if (scale > 0) text += "e-" + std::to_string(scale);
    return negative ? "(-" + text + ")" : text;
}

TEST(TavoOracle, ArithmeticAgainstGmp) {
    std::mt19937 rng(3);
    std::vector<std::string> exprs, expected;
    mpq_t a, b, r;
    mpq_inits(a, b, r, nullptr);
    for (int i = 0; i < 400; ++i) {
        std::string ta = random_decimal(rng, a), tb = random_decimal(rng, b);
        mpq_add(r, a, b);
        exprs.push_back(ta + " + " + tb);
        expected.push_back(decimal_text(r));
        mpq_sub(r, a, b);
        exprs.push_back(ta + " - " + tb);
        expected.push_back(decimal_text(r));
        mpq_mul(r, a, b);
        exprs.push_back(ta + " * " + tb);
        expected.push_back(decimal_text(r));
        if (mpq_sgn(b) != 0) {
            // An exact quotient: (a x b) / b.
            exprs.push_back("(" + ta + " * " + tb + ") / " + tb);
            expected.push_back(decimal_text(a));
        }
    }
    mpq_clears(a, b, r, nullptr);
    auto got = eval_lines(exprs);
    ASSERT_EQ(got.size(), exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i) EXPECT_EQ(got[i], expected[i]) << exprs[i];
}

}  // namespace
