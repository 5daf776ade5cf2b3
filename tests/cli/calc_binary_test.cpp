// Runs the real orvantis-calc and checks what a user or a script sees: the
// bytes on standard output and error, and the exit status.
#include "engine/numbers.h"
#include "reports/reports.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace modDestiny;

const std::string kErrorPrefix = "orvantis-calc: ";
const std::string kDateExpected =
    " is not a valid date: expected YYYY-MM-DD or MM/DD/YYYY between 1753-01-01 and 9999-12-31\n";

enum class Sink { File, FullDisk, ClosedPipe };

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string tempFile(const std::string& contents)
{
    std::string path = ::testing::TempDir() + "orvantis-calc-XXXXXX";
    const int fd = ::mkstemp(path.data());
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, contents.data(), contents.size()),
              static_cast<ssize_t>(contents.size()));
    ::close(fd);
    return path;
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    ::unlink(path.c_str());
    return s.str();
}

Result run(std::vector<std::string> args, const std::string& input = {}, Sink sink = Sink::File)
{
    const std::string inPath = tempFile(input);
    const std::string outPath = tempFile({});
    const std::string errPath = tempFile({});
    int pipeFds[2] = {-1, -1};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    if (sink == Sink::File)
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_TRUNC, 0);
    else if (sink == Sink::FullDisk)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    else {
        EXPECT_EQ(::pipe(pipeFds), 0);
        ::close(pipeFds[0]); // nobody will ever read
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    }
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_TRUNC, 0);

    args.insert(args.begin(), ORVANTIS_CALC_PATH);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Result r;
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, ORVANTIS_CALC_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0)
        ::close(pipeFds[1]);
    int wstatus = 0;
    EXPECT_EQ(::waitpid(pid, &wstatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(wstatus)) << "killed by a signal";
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    ::unlink(inPath.c_str());
    return r;
}

std::string report(const std::function<void(ReportArea&)>& build)
{
    StringReportArea area;
    build(area);
    return area.Text();
}

// The line the numbers command should print, from the engine directly.
std::string numbersRow(const std::string& date, const char* target = nullptr)
{
    const PersonalNumber year = CalcDateNumber(date);
    std::string row = date + '\t' + std::to_string(year) + '\t'
                      + std::to_string(CalcBirthNumber(date.substr(3, 2)));
    for (PersonalNumber m = 1; m <= 12; ++m)
        row += '\t' + std::to_string(CalcPersonalMonth(year, m));
    if (target)
        row += '\t' + std::to_string(CalcPersonalDay(year, target));
    return row + '\n';
}

TEST(CalcReports, MatchTheBuildersByteForByte)
{
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"destiny", "1970-03-05"},
         report([](ReportArea& a) { ShowDestinyAndBirth(a, CalcDateNumber("03/05/1970"),
                                                        CalcBirthNumber("05")); })},
        {{"destiny", "05/04/1921"},
         report([](ReportArea& a) { ShowDestinyAndBirth(a, 22, CalcBirthNumber("04")); })},
        {{"year-month", "12/31/1999", "March"},
         report([](ReportArea& a) { ShowPersonalYearMonth(a, 8, CalcPersonalMonth(8, 3)); })},
        {{"year-month", "1999-12-31", "9"}, // 8 + 9 -> 8: one combined section
         report([](ReportArea& a) { ShowPersonalYearMonth(a, 8, 8); })},
        {{"day", "2005-02-02", "02/29"},
         report([](ReportArea& a) { ShowPersonalDay(a, CalcPersonalDay(11, "02/29")); })},
        {{"day", "09/29/1980", "2024-12-31"},
         report([](ReportArea& a) { ShowPersonalDay(a, CalcPersonalDay(2, "12/31")); })},
    };
    for (const auto& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.status, 0) << c.args[0];
        EXPECT_EQ(r.out, c.expected) << c.args[0] << ' ' << c.args[1];
        EXPECT_EQ(r.err, "");
    }
}

TEST(CalcNumbers, WorkedExamplesGiveTheirDestinyNumbers)
{
    const Result r = run({"numbers", "03/05/1970", "12/31/1999", "2005-02-02", "05/04/1921",
                          "09/29/1980"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    for (const char* expected : {"03/05/1970\t7\t", "12/31/1999\t8\t", "02/02/2005\t11\t",
                                 "05/04/1921\t22\t", "09/29/1980\t2\t"}) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_TRUE(line.starts_with(expected)) << line;
    }
}

TEST(CalcNumbers, EveryRowMatchesTheEngineWithAndWithoutTarget)
{
    // Three years, every month, days 1-28: every Personal Year occurs, master
    // numbers included (05/04/1921 is 22, 02/02/2005 is 11), so rows that
    // reuse columns computed for an earlier row are checked as well.
    std::string input, plain, withTarget;
    for (const int year : {1921, 1999, 2005}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 28; ++day) {
                char date[16];
                std::snprintf(date, sizeof date, "%02d/%02d/%04d", month, day, year);
                input += std::string(date) + '\n';
                plain += numbersRow(date);
                withTarget += numbersRow(date, "02/29");
            }
        }
    }
    EXPECT_EQ(run({"numbers"}, input).out, plain);
    EXPECT_EQ(run({"numbers", "--target", "02/29"}, input).out, withTarget);
    EXPECT_EQ(run({"numbers", "--target=2024-02-29", "9999-12-31"}).out,
              numbersRow("12/31/9999", "02/29"));
}

TEST(CalcNumbers, BadLinesAreReportedAndSkippedTheRestIsKept)
{
    const Result r = run({"numbers"}, "\xEF\xBB\xBF" "1970-03-05\r\n\r\n  12/31/1999 \t\n"
                                      "2023-02-30\nnot\x01" "date\n   \n2005-02-02");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, numbersRow("03/05/1970") + numbersRow("12/31/1999") + numbersRow("02/02/2005"));
    EXPECT_EQ(r.err, kErrorPrefix + "line 4: '2023-02-30'" + kDateExpected + kErrorPrefix
                         + "line 5: 'not\\x01date'" + kDateExpected);

    const Result huge = run({"numbers"}, std::string(100000, '1') + "\n1970-03-05\n");
    EXPECT_EQ(huge.status, 1);
    EXPECT_EQ(huge.out, numbersRow("03/05/1970"));
    EXPECT_NE(huge.err.find("line 1: '111"), std::string::npos) << huge.err;
}

TEST(CalcCommandLine, ExitStatusAndMessages)
{
    const std::string hint = " (try 'orvantis-calc --help')\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"destiny", "2023-02-30"}, 2, kErrorPrefix + "'2023-02-30'" + kDateExpected},
        {{"numbers", "1970-03-05", "1752-12-31"}, 2, kErrorPrefix + "'1752-12-31'" + kDateExpected},
        {{"year-month", "1970-03-05", "Smarch"}, 2,
         kErrorPrefix + "'Smarch' is not a valid month: expected 1-12 or an English month name\n"},
        {{"day", "1970-03-05", "02/30"}, 2,
         kErrorPrefix + "'02/30' is not a valid target day: expected MM/DD, or YYYY-MM-DD or "
                        "MM/DD/YYYY between 1753-01-01 and 9999-12-31\n"},
        {{}, 2, kErrorPrefix + "missing command" + hint},
        {{"fate", "1970-03-05"}, 2, kErrorPrefix + "unknown command 'fate'" + hint},
        {{"destiny"}, 2, kErrorPrefix + "'destiny' expects BIRTH, got 0 arguments" + hint},
        {{"day", "1970-03-05"}, 2, kErrorPrefix + "'day' expects BIRTH TARGET, got 1 argument" + hint},
        {{"destiny", "--target", "01/01", "1970-03-05"}, 2,
         kErrorPrefix + "unknown option '--target' for 'destiny'" + hint},
        {{"numbers", "--target"}, 2, kErrorPrefix + "option '--target' needs a day, MM/DD" + hint},
    };
    for (const auto& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(CalcCommandLine, HelpAndVersionGoToStandardOutput)
{
    for (const char* option : {"--help", "-h"}) {
        const Result r = run({option});
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.out.starts_with("Usage: orvantis-calc COMMAND")) << r.out;
        EXPECT_EQ(r.err, "");
    }
    const Result v = run({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, "orvantis-calc " ORVANTIS_VERSION "\n");
}

TEST(CalcOutput, WriteFailuresAreReportedNotSuccess)
{
    const struct {
        Sink sink;
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {Sink::FullDisk, {"destiny", "1970-03-05"}, "No space left on device"},
        {Sink::FullDisk, {"--help"}, "No space left on device"},
        {Sink::ClosedPipe, {"numbers", "1970-03-05"}, "Broken pipe"},
    };
    for (const auto& c : cases) {
        const Result r = run(c.args, {}, c.sink);
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, kErrorPrefix + "cannot write standard output: " + c.reason + "\n");
    }
}

} // namespace
