#include "options.h"

#include "escapes.h"

#include <cerrno>
#include <cstdlib>

namespace tevran::sim {

namespace {

std::uint64_t parse_unsigned(std::string_view option, const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError(std::string(option) + " needs a non-negative integer, not '" + text + "'");
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE)
        throw UsageError(std::string(option) + " value out of range: " + text);
    return v;
}

double parse_number(std::string_view option, const std::string& text)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        throw UsageError(std::string(option) + " needs numbers, not '" + text + "'");
    return v;
}

ParameterStore::Values parse_params(const std::string& text)
{
    ParameterStore::Values values{};
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (count == values.size())
            throw UsageError("--params needs exactly 5 comma-separated values");
        values[count++] = parse_number("--params", text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (count != values.size())
        throw UsageError("--params needs exactly 5 comma-separated values");
    return values;
}

} // namespace

Options parse_options(const std::vector<std::string_view>& args)
{
    Options o;
    bool have_link = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string> inline_value;
        if (name.starts_with("--")) {
            if (const auto eq = name.find('='); eq != std::string_view::npos) {
                inline_value = std::string(name.substr(eq + 1));
                name = name.substr(0, eq);
            }
        }
        auto value = [&]() -> std::string {
            if (inline_value)
                return *inline_value;
            if (i + 1 >= args.size())
                throw UsageError(std::string(name) + " needs a value");
            return std::string(args[++i]);
        };
        auto no_value = [&] {
            if (inline_value)
                throw UsageError(std::string(name) + " takes no value");
        };

        if (name == "--link") {
            o.link = value();
            if (o.link.empty())
                throw UsageError("--link needs a path");
            have_link = true;
        } else if (name == "--seed") {
            o.seed = parse_unsigned(name, value());
        } else if (name == "--fixed") {
            try {
                o.fixed = decode_escapes(value());
            } catch (const EscapeError& e) {
                throw UsageError(std::string("--fixed: ") + e.what());
            }
        } else if (name == "--replies") {
            o.replies = value();
        } else if (name == "--params") {
            o.params = parse_params(value());
        } else if (name == "--log") {
            o.log = value();
        } else if (name == "--delay") {
            o.delay = std::chrono::milliseconds(parse_unsigned(name, value()));
        } else if (name == "--fault") {
            try {
                o.faults.add(parse_fault(value()));
            } catch (const FaultError& e) {
                throw UsageError(std::string("--fault: ") + e.what());
            }
        } else if (name == "--line-speed") {
            no_value();
            o.line_speed = true;
        } else if (name == "--verbose") {
            no_value();
            o.verbose = true;
        } else if (name == "--help" || name == "-h") {
            o.help = true;
            return o;
        } else {
            throw UsageError("unknown argument '" + std::string(args[i]) + "'");
        }
    }

    if (!have_link)
        throw UsageError("--link PATH is required");
    if (o.fixed && o.replies)
        throw UsageError("--fixed and --replies exclude each other");
    return o;
}

std::string usage_text(std::string_view program)
{
    std::string p(program);
    return "usage: " + p + " --link PATH [options]\n"
           "Simulated oxygen measuring instrument on a pseudo-terminal; PATH becomes\n"
           "a symbolic link to the terminal device. Runs until SIGTERM or SIGINT.\n"
           "\n"
           "  --link PATH        where to create the link to the terminal (required)\n"
           "  --seed N           seed of the cell model (default 1)\n"
           "  --fixed TEXT       answer every u6 with TEXT (escapes \\r \\n \\t \\\\ \\xHH)\n"
           "  --replies FILE     answer the k-th u6 with line k of FILE; a line '-'\n"
           "                     means no answer; no answers after the last line\n"
           "  --params a,b,c,d,e initial values of parameters 0..4\n"
           "                     (default 1.5,20,0.25,650,0.8)\n"
           "  --log FILE         append every received byte to FILE\n"
           "  --delay MS         start each answer MS milliseconds after the request\n"
           "  --line-speed       pace output at 9600 baud\n"
           "  --fault KIND[:N]   disturb every N-th measurement answer (default every one);\n"
           "                     may be given several times, the first that applies wins:\n"
           "                     silent, wrong-first-byte, garbage, partial, long, split,\n"
           "                     nan, slow, unplug\n"
           "  --verbose          report requests and unanswered input on stderr\n"
           "  --help             show this text\n";
}

} // namespace tevran::sim
