// orvantis-calc: the window's calculations for the command line and scripts.
// The report commands print exactly what the window's report area holds
// after a calculation (CR LF line breaks, nothing added), so their output can
// be compared byte for byte with the window's.
#include "date_parse.h"
#include "diagnostics.h"
#include "numbers_batch.h"
#include "output_buffer.h"

#include "engine/text_fields.h"
#include "reports/reading.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef ORVANTIS_VERSION
#error "ORVANTIS_VERSION must be defined by the build"
#endif

namespace {

using namespace orvantis::cli;
using orvantis::reading::Date;
namespace text = orvantis::text;

constexpr std::string_view kHelp =
    R"(Usage: orvantis-calc COMMAND ARGUMENT...
Personal numbers of a birth date, and the reports Orvantis shows for them.

Commands:
  destiny BIRTH              Destiny and Birth Number report
  year-month BIRTH MONTH     Personal Year and Month report for MONTH
  day BIRTH TARGET           Personal Day report for the day TARGET
  numbers [--target TARGET] [BIRTH...]
                             one line per birth date, fields separated by tabs:
                             MM/DD/YYYY, Destiny, Birth, Personal Month 1 to 12,
                             and with --target the Personal Day of TARGET;
                             without BIRTH arguments the dates are read from
                             standard input, one a line

BIRTH   YYYY-MM-DD or MM/DD/YYYY, from 1753-01-01 to 9999-12-31
TARGET  MM/DD (02/29 included) or a date written like BIRTH
MONTH   1 to 12, or an English month name or its first three letters

Reports are printed as the window shows them: CR LF line breaks and no line
break at the end.

Options:
  -h, --help     print this help and exit
      --version  print the version and exit

Exit status: 0 success; 1 some lines of standard input were not dates and
were skipped; 2 bad command line; 3 input could not be read, or output or a
message could not be written.
)";

constexpr std::string_view kVersion = "orvantis-calc " ORVANTIS_VERSION "\n";

// Raised for a bad command line: the message is printed and the status is 2.
struct UsageError {
    std::string message;
};

// The command-line arguments after the command name, options taken out.
struct CommandLine {
    std::vector<std::string_view> operands;
    std::optional<std::string_view> target; // --target, `numbers` only
};

CommandLine splitOptions(std::string_view command, const std::vector<std::string_view>& args)
{
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            line.operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (command == "numbers" && arg == "--target") {
            if (i + 1 == args.size())
                throw UsageError{"option '--target' needs a day, MM/DD" + std::string(kHelpHint)};
            line.target = args[++i];
        } else if (command == "numbers" && arg.starts_with("--target=")) {
            line.target = arg.substr(9);
        } else {
            throw UsageError{"unknown option " + quoted(arg) + " for '" + std::string(command)
                             + "'" + std::string(kHelpHint)};
        }
    }
    return line;
}

void requireOperands(const CommandLine& line, std::string_view command, std::size_t count,
                     std::string_view names)
{
    if (line.operands.size() == count)
        return;
    throw UsageError{"'" + std::string(command) + "' expects " + std::string(names) + ", got "
                     + std::to_string(line.operands.size()) + " argument"
                     + (line.operands.size() == 1 ? "" : "s") + std::string(kHelpHint)};
}

Date birthArgument(std::string_view arg)
{
    if (const auto date = parseDate(text::Trim(arg, text::kBlanks)))
        return *date;
    throw UsageError{invalidDate(arg)};
}

std::chrono::month_day targetArgument(std::string_view arg)
{
    if (const auto day = parseMonthDay(text::Trim(arg, text::kBlanks)))
        return *day;
    throw UsageError{invalidTarget(arg)};
}

std::chrono::month monthArgument(std::string_view arg)
{
    if (const auto month = parseMonth(text::Trim(arg, text::kBlanks)))
        return *month;
    throw UsageError{invalidMonth(arg)};
}

// Each report is built as the window builds it, into an empty report area.
std::string runReportCommand(std::string_view command, const CommandLine& line)
{
    namespace reading = orvantis::reading;
    modDestiny::StringReportArea area;
    if (command == "destiny") {
        requireOperands(line, command, 1, "BIRTH");
        reading::DestinyAndBirthReading(area, birthArgument(line.operands[0]));
    } else if (command == "year-month") {
        requireOperands(line, command, 2, "BIRTH MONTH");
        const Date birth = birthArgument(line.operands[0]);
        reading::PersonalYearMonthReading(area, birth, monthArgument(line.operands[1]));
    } else {
        requireOperands(line, command, 2, "BIRTH TARGET");
        const Date birth = birthArgument(line.operands[0]);
        reading::PersonalDayReading(area, birth, targetArgument(line.operands[1]));
    }
    return area.Text();
}

ExitStatus runNumbersCommand(const CommandLine& line, OutputBuffer& out)
{
    std::optional<std::chrono::month_day> target;
    if (line.target)
        target = targetArgument(*line.target);
    if (line.operands.empty())
        return runNumbersStream(stdin, out, target);

    // Dates on the command line are all checked before anything is printed:
    // a typo there is a usage error, not a skipped line.
    std::vector<Date> births;
    bool allValid = true;
    for (const std::string_view arg : line.operands) {
        if (const auto date = parseDate(text::Trim(arg, text::kBlanks))) {
            births.push_back(*date);
        } else {
            reportError(invalidDate(arg));
            allValid = false;
        }
    }
    if (!allValid)
        return kExitUsage;
    NumbersRowWriter rows(target);
    for (const Date& birth : births)
        rows.write(out, birth);
    return kExitOk;
}

ExitStatus run(const std::vector<std::string_view>& args, OutputBuffer& out)
{
    for (const std::string_view arg : args) {
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help") {
            out.append(kHelp);
            return kExitOk;
        }
        if (arg == "--version") {
            out.append(kVersion);
            return kExitOk;
        }
    }
    if (args.empty())
        throw UsageError{"missing command" + std::string(kHelpHint)};

    const std::string_view command = args.front();
    const std::vector<std::string_view> rest(args.begin() + 1, args.end());
    if (command == "destiny" || command == "year-month" || command == "day") {
        out.append(runReportCommand(command, splitOptions(command, rest)));
        return kExitOk;
    }
    if (command == "numbers")
        return runNumbersCommand(splitOptions(command, rest), out);
    if (command.starts_with("-"))
        throw UsageError{"unknown option " + quoted(command) + std::string(kHelpHint)};
    throw UsageError{"unknown command " + quoted(command) + std::string(kHelpHint)};
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that goes away (`orvantis-calc numbers | head`) must show up
    // as a write error with a message (or, on standard error, with status
    // 3), not as a silent death by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    OutputBuffer out(stdout);
    ExitStatus status = kExitOk;
    try {
        status = run(args, out);
    } catch (const UsageError& e) {
        reportError(e.message);
        status = kExitUsage;
    }
    if (!out.flush()) {
        reportError(std::string("cannot write standard output: ") + std::strerror(out.error()));
        return kExitIo;
    }
    return errorsLost() ? kExitIo : status;
}
