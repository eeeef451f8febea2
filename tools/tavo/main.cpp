// tavo: a calculator and converter over the library's decimal numbers and
// dates.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "evaluator.hpp"
#include "lmx.h"
#include "program.hpp"

namespace tavo::cli {
namespace {

constexpr size_t max_line_bytes = 1 << 20;

constexpr const char usage[] =
    "usage: tavo [options] 'EXPR' ...     print the value of each expression\n"
    "       tavo [options]                read one expression a line from standard input\n"
    "       tavo [options] --fields 'EXPR' ... < data.tsv\n"
    "                                     evaluate over each tab-separated line (:1, :2, ...)\n"
    "options:\n"
    "  --lang NAME         language, territory and character set, as\n"
    "                      GERMAN_GERMANY.WE8ISO8859P1 (default: the library's default)\n"
    "  --date-format MODEL date format model for printing and reading dates\n"
    "  --fields            arguments are expressions over the fields of each input line\n"
    "  --sysdate 'YYYY-MM-DD HH24:MI:SS'  fix the clock that sysdate reads\n"
    "  --help              this text\n"
    "  --version           the library's version\n"
    "Expressions: numbers (40 digits), 'text', DATE 'YYYY-MM-DD [HH24:MI:SS]',\n"
    "+ - * / ||, and functions such as to_char, to_number, to_date, add_months,\n"
    "months_between, round, trunc, power, sqrt, ln, sin, dump, iso_week (see docs/tavo.md).\n"
    "Exit status: 0 all expressions evaluated, 1 some failed, 2 bad usage.\n";

// Buffered standard output: one write per 64 KiB.
class Output {
  public:
    explicit Output(bool interactive) : interactive_(interactive) { buf_.reserve(1 << 17); }
    ~Output() { flush(); }
    std::string &buffer() { return buf_; }
    void end_line() {
        buf_ += '\n';
        if (interactive_ || buf_.size() >= (1 << 16)) flush();
    }
    void flush() {
        if (!buf_.empty()) std::fwrite(buf_.data(), 1, buf_.size(), stdout);
        buf_.clear();
        std::fflush(stdout);
    }

  private:
    std::string buf_;
    bool interactive_;
};

// Lines of standard input, read in blocks of up to 1 MiB. Lines longer than the limit
// are reported and skipped.
class LineReader {
  public:
    LineReader() : buf_(max_line_bytes + 65536) {}

    enum class Result { line, too_long, end };

    Result next(std::string_view &line) {
        for (;;) {
            const char *begin = buf_.data() + start_;
            const char *nl = static_cast<const char *>(std::memchr(begin, '\n', end_ - start_));
            if (nl != nullptr) {
                size_t len = static_cast<size_t>(nl - begin);
                start_ += len + 1;
                if (skipping_) {
                    skipping_ = false;
                    continue;
                }
                line = trim_cr({begin, len});
                return Result::line;
            }
            if (end_ - start_ > max_line_bytes) {
                // Too long: drop what is held and the rest of the line.
                start_ = end_ = 0;
                if (!skipping_) {
                    skipping_ = true;
                    return Result::too_long;
                }
            }
            if (eof_) {
                if (start_ == end_) return Result::end;
                size_t len = end_ - start_;
                line = trim_cr({buf_.data() + start_, len});
                start_ = end_;
                if (skipping_) return Result::end;
                return Result::line;
            }
            fill();
        }
    }

  private:
    static std::string_view trim_cr(std::string_view s) {
        if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
        return s;
    }

    void fill() {
        if (start_ > 0) {
            std::memmove(buf_.data(), buf_.data() + start_, end_ - start_);
            end_ -= start_;
            start_ = 0;
        }
        // read, not fread: it returns what a terminal or pipe has so far,
        // so that each line is answered as it arrives.
        ssize_t got;
        do {
            got = ::read(0, buf_.data() + end_, buf_.size() - end_);
        } while (got < 0 && errno == EINTR);
        if (got > 0) end_ += static_cast<size_t>(got);
        if (got <= 0) eof_ = true;
    }

    std::vector<char> buf_;
    size_t start_ = 0, end_ = 0;
    bool eof_ = false, skipping_ = false;
};

struct Options {
    Settings settings;
    bool fields = false;
    std::vector<const char *> expressions;
};

// Where a message comes from: an input line (0: none) and an expression
// (shown when there are several).
struct Location {
    uint64_t line = 0;
    size_t expression = 0, expressions = 1;

    std::string text() const {
        std::string s;
        if (line != 0) s += "line " + std::to_string(line) + ": ";
        if (expressions > 1) s += "expression " + std::to_string(expression + 1) + ": ";
        return s;
    }
};

void report(Output &out, const Location &where, int32_t number, const std::string &message,
            uint32_t column) {
    out.flush();
    std::string line = "tavo: " + where.text();
    if (number != 0) line += "error " + std::to_string(number) + ": ";
    line += message;
    if (column != 0) line += " (column " + std::to_string(column) + ")";
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Evaluates one program onto the output line; on failure the line is cut
// back to where it was at line_start and the message reported.
bool run(Evaluator &ev, const Program &prog, std::span<const std::string_view> fields, Output &o,
         size_t line_start, const Location &where) {
    try {
        ev.evaluate(prog, fields, o.buffer());
        return true;
    } catch (const EvalError &e) {
        o.buffer().resize(line_start);
        report(o, where, e.number, e.what(), e.column);
    } catch (const std::bad_alloc &) {
        o.buffer().resize(line_start);
        report(o, where, 0, "out of memory", 0);
    }
    return false;
}

std::optional<Program> compile(std::string_view text, bool fields, Output &o,
                               const Location &where) {
    try {
        return parse(text, fields);
    } catch (const SyntaxError &e) {
        report(o, where, 0, e.what(), e.column);
    }
    return std::nullopt;
}

int run_arguments(Evaluator &ev, const Options &opt, Output &o) {
    int status = 0;
    for (size_t i = 0; i < opt.expressions.size(); ++i) {
        Location where{0, i, opt.expressions.size()};
        auto prog = compile(opt.expressions[i], false, o, where);
        if (!prog || !run(ev, *prog, {}, o, o.buffer().size(), where)) {
            status = 1;
            continue;
        }
        o.end_line();
    }
    return status;
}

int run_lines(Evaluator &ev, Output &o, bool interactive) {
    LineReader in;
    int status = 0;
    std::string_view line;
    for (uint64_t number = 1;; ++number) {
        if (interactive) {
            std::fputs("tavo> ", stdout);
            std::fflush(stdout);
        }
        auto r = in.next(line);
        if (r == LineReader::Result::end) break;
        Location where{number, 0, 1};
        if (r == LineReader::Result::too_long) {
            report(o, where, 0, "line longer than " + std::to_string(max_line_bytes) + " bytes", 0);
            status = 1;
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        auto prog = compile(line, false, o, where);
        if (!prog || !run(ev, *prog, {}, o, o.buffer().size(), where)) {
            status = 1;
            continue;
        }
        o.end_line();
    }
    if (interactive) std::fputs("\n", stdout);
    return status;
}

int run_fields(Evaluator &ev, const Options &opt, Output &o) {
    std::vector<Program> progs;
    for (size_t i = 0; i < opt.expressions.size(); ++i) {
        Location where{0, i, opt.expressions.size()};
        auto prog = compile(opt.expressions[i], true, o, where);
        if (!prog) return 1;
        progs.push_back(std::move(*prog));
    }
    size_t needed = 0;
    for (const Program &p : progs) needed = std::max<size_t>(needed, p.max_field);
    LineReader in;
    std::vector<std::string_view> fields;
    std::string_view line;
    int status = 0;
    for (uint64_t number = 1;; ++number) {
        auto r = in.next(line);
        if (r == LineReader::Result::end) break;
        if (r == LineReader::Result::too_long) {
            report(o, Location{number, 0, 1}, 0,
                   "line longer than " + std::to_string(max_line_bytes) + " bytes", 0);
            status = 1;
            continue;
        }
        // Only the fields the expressions name are split off; the last one
        // split ends at its tab, not at the end of the line.
        fields.clear();
        size_t start = 0;
        while (fields.size() < needed) {
            size_t tab = line.find('\t', start);
            if (tab == std::string_view::npos) {
                fields.push_back(line.substr(start));
                break;
            }
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        std::string &buf = o.buffer();
        size_t old = buf.size();
        bool ok = true;
        for (size_t i = 0; i < progs.size() && ok; ++i) {
            if (i > 0) buf += '\t';
            ok = run(ev, progs[i], fields, o, old, Location{number, i, progs.size()});
        }
        if (!ok) {
            status = 1;
            continue;
        }
        o.end_line();
    }
    return status;
}

// Returns 0 to go on, else the exit status.
int parse_options(int argc, char **argv, Options &opt, std::optional<std::string> &sysdate) {
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (options_done || a.size() < 2 || a.substr(0, 2) != "--") {
            opt.expressions.push_back(argv[i]);
            continue;
        }
        if (a == "--") {
            options_done = true;
            continue;
        }
        auto value = [&](std::string_view name, const char *&out) {
            if (a == name) {
                if (i + 1 >= argc) return -1;
                out = argv[++i];
                return 1;
            }
            if (a.size() > name.size() && a.substr(0, name.size()) == name &&
                a[name.size()] == '=') {
                out = argv[i] + name.size() + 1;
                return 1;
            }
            return 0;
        };
        const char *v = nullptr;
        int r;
        if ((r = value("--lang", v)) != 0) {
            if (r < 0) break;
            opt.settings.language = v;
        } else if ((r = value("--date-format", v)) != 0) {
            if (r < 0) break;
            opt.settings.date_format = v;
        } else if ((r = value("--sysdate", v)) != 0) {
            if (r < 0) break;
            sysdate = v;
        } else if (a == "--fields") {
            opt.fields = true;
        } else if (a == "--help") {
            std::fputs(usage, stdout);
            return -1;
        } else if (a == "--version") {
            char version[LMXVERLEN];
            if (lmxver(version, sizeof version) == 0) version[0] = '\0';
            std::printf("tavo: %s\n", version);
            return -1;
        } else {
            std::fprintf(stderr, "tavo: unknown option '%s'\n%s", argv[i], usage);
            return 2;
        }
        continue;
    }
    // An option that wanted a value and had none.
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--") break;
        if ((a == "--lang" || a == "--date-format" || a == "--sysdate") && i + 1 >= argc) {
            std::fprintf(stderr, "tavo: %s needs a value\n", argv[i]);
            return 2;
        }
        if (a == "--lang" || a == "--date-format" || a == "--sysdate") ++i;
    }
    if (opt.fields && opt.expressions.empty()) {
        std::fprintf(stderr, "tavo: --fields needs an expression over :1, :2, ...\n");
        return 2;
    }
    return 0;
}

int main_of(int argc, char **argv) {
    Options opt;
    std::optional<std::string> sysdate;
    int r = parse_options(argc, argv, opt, sysdate);
    if (r == -1) return 0;
    if (r != 0) return r;
    if (sysdate) {
        try {
            Program p = parse("DATE '" + *sysdate + "'", false);
            opt.settings.sysdate = p.nodes[p.root].value.date;
        } catch (const SyntaxError &) {
            std::fprintf(stderr, "tavo: --sysdate wants 'YYYY-MM-DD HH24:MI:SS', not '%s'\n",
                         sysdate->c_str());
            return 2;
        }
    }
    std::optional<Evaluator> ev;
    try {
        ev.emplace(opt.settings);
    } catch (const SetupError &e) {
        std::fprintf(stderr, "tavo: %s\n", e.what());
        return 2;
    }
    bool interactive = opt.expressions.empty() && !opt.fields && isatty(0) == 1;
    Output o(interactive);
    int status = opt.fields                 ? run_fields(*ev, opt, o)
                 : !opt.expressions.empty() ? run_arguments(*ev, opt, o)
                                            : run_lines(*ev, o, interactive);
    o.flush();
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "tavo: cannot write the output\n");
        return 1;
    }
    return status;
}

}  // namespace
}  // namespace tavo::cli

int main(int argc, char **argv) {
    try {
        return tavo::cli::main_of(argc, argv);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tavo: %s\n", e.what());
        return 1;
    }
}
