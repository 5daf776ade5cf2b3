// Runs the real orvantis-calc and checks what a user or a script sees: the
// bytes on standard output and error, and the exit status. Report paragraphs
// are cut to their first and last words ("...", see elided.h).
#include "../elided.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Where standard input comes from and standard output and error go, when not
// files: standard input a directory; standard output or error on a full disk
// or a pipe nobody reads.
enum class Plumbing { Files, StdinDirectory, FullDisk, ClosedPipe, FullStderr, ClosedStderr };

struct Call {
    const char* name;
    std::vector<std::string> args;
    std::string input = {};
    Plumbing how = Plumbing::Files;
    int status = 0;
    std::string out = {};
    std::string err = {};
    off_t readAtMost = 1 << 30; // bytes of standard input
};

std::string slurp(const std::string& path)
{
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    ::unlink(path.c_str());
    return s.str();
}

std::string times(const std::string& text, int count)
{
    std::string s;
    while (count-- > 0)
        s += text;
    return s;
}

class Calc : public testing::TestWithParam<Call> {};

TEST_P(Calc, Prints)
{
    const Call& c = GetParam();
    const std::string base = testing::TempDir() + "orvantis-calc-" + std::to_string(::getpid());
    const std::string in = base + ".in", out = base + ".out", err = base + ".err";
    std::ofstream(in, std::ios::binary) << c.input;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Shared with the program: its offset tells how much was read.
    const int input = ::open(c.how == Plumbing::StdinDirectory ? "/" : in.c_str(), O_RDONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, input, 0);
    const int unread = c.how == Plumbing::ClosedPipe ? 1 : c.how == Plumbing::ClosedStderr ? 2 : -1;
    int pipeFds[2] = {-1, -1};
    if (unread > 0) {
        ASSERT_EQ(::pipe(pipeFds), 0);
        ::close(pipeFds[0]); // nobody will ever read
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], unread);
    }
    if (unread != 1)
        posix_spawn_file_actions_addopen(&actions, 1, c.how == Plumbing::FullDisk ? "/dev/full" : out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (unread != 2)
        posix_spawn_file_actions_addopen(&actions, 2, c.how == Plumbing::FullStderr ? "/dev/full" : err.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> argv{const_cast<char*>(ORVANTIS_CALC_PATH)};
    for (const std::string& arg : c.args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ORVANTIS_CALC_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0)
        ::close(pipeFds[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_LE(::lseek(input, 0, SEEK_CUR), c.readAtMost);
    ::close(input);
    ::unlink(in.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status);
    const std::string stdoutText = slurp(out), stderrText = slurp(err);
    EXPECT_TRUE(matchesElided(stdoutText, c.out)) << stdoutText.substr(0, 1000);
    EXPECT_TRUE(matchesElided(stderrText, c.err)) << stderrText;
}

const std::string kRow1970 = "03/05/1970\t7\t5\t8\t9\t1\t11\t3\t4\t5\t6\t7\t8\t9\t1";
const std::string kHint = " (try 'orvantis-calc --help')\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, Calc,
    testing::Values(
        Call{.name = "Destiny", .args = {"destiny", "1970-03-05"},
            .out = "\r\nDestiny Number:7\r\n\r\nBehind...\r\nBirth Number:5\r\n...worth taking."},
        Call{.name = "YearMonth", .args = {"year-month", "12/31/1999", "March"},
            .out = "\r\nPersonal Year: 8\r\n...\r\nPersonal Month: 11\r\n...after it ends.\r\n\r\n"},
        Call{.name = "Day", .args = {"day", "1970-03-05", "01/14"},
            .out = "Today asks you...further than you imagine."},
        Call{.name = "NumbersOfArgumentsWithTarget", // "--" ends the options
            .args = {"numbers", "--target=2024-02-29", "03/05/1970", "--", "05/04/1921"},
            .out = kRow1970 + "\t2\n05/04/1921\t22\t4\t5\t6\t7\t8\t9\t1\t2\t3\t4\t5\t6\t7\t8\n"},
        // A byte-order mark, CR LF, blanks around dates, blank lines and a
        // last line without line end; bad lines are named and skipped.
        Call{.name = "NumbersOfStdinBadLinesSkipped", .args = {"numbers", "--target", "02/29"},
            .input = "\xEF\xBB\xBF" "1970-03-05\r\n\r\n  12/31/1999 \t\n2023-02-30\nnot\x01" "date\n   \n"
                     "2005-02-02",
            .status = 1,
            .out = kRow1970 + "\t2\n12/31/1999\t8\t4\t9\t1\t11\t3\t4\t5\t6\t7\t8\t9\t1\t2\t3\n"
                   "02/02/2005\t11\t2\t3\t4\t5\t6\t7\t8\t9\t1\t2\t3\t22\t5\t6\n",
            .err = "orvantis-calc: line 4: '2023-02-30' is not a valid date...\n"
                   "orvantis-calc: line 5: 'not\\x01date' is not a valid date...\n"},
        // 1 MiB is read at a time: line 95326 starts on the block's last byte.
        Call{.name = "NumbersOfStdinAcrossReadBlocks", .args = {"numbers"},
            .input = times("1970-03-05\n", 100000), .out = times(kRow1970 + "\n", 100000)},
        Call{.name = "NumbersLineTooLong", .args = {"numbers"},
            .input = std::string(100000, '1') + "\n1970-03-05\n", .status = 1, .out = kRow1970 + "\n",
            .err = "orvantis-calc: line 1: '111...' is too long: expected one date per line\n"},
        Call{.name = "StdinIsADirectory", .args = {"numbers"}, .how = Plumbing::StdinDirectory,
            .status = 3, .err = "orvantis-calc: cannot read standard input: Is a directory\n"},
        Call{.name = "Help", .args = {"--help"}, .out = "Usage: orvantis-calc COMMAND...written.\n"},
        Call{.name = "HelpAfterCommand", .args = {"numbers", "-h"}, .out = "Usage: orvantis-calc..."},
        Call{.name = "Version", .args = {"--version"}, .out = "orvantis-calc " ORVANTIS_VERSION "\n"},
        Call{.name = "FullDisk", .args = {"destiny", "1970-03-05"}, .how = Plumbing::FullDisk,
            .status = 3, .err = "orvantis-calc: cannot write standard output: No space left on device\n"},
        Call{.name = "ReaderGone", .args = {"numbers", "1970-03-05"}, .how = Plumbing::ClosedPipe,
            .status = 3, .err = "orvantis-calc: cannot write standard output: Broken pipe\n"},
        // Messages that cannot be written end the run as lost output does.
        Call{.name = "MessageToFullDisk", .args = {"destiny", "2023-02-30"}, .how = Plumbing::FullStderr,
            .status = 3},
        // ... and `numbers` stops reading (`yes x | orvantis-calc numbers 2>&1 | head -1` would never end).
        Call{.name = "MessagesNobodyReads", .args = {"numbers"}, .input = times("garbage\n", 3 << 17),
            .how = Plumbing::ClosedStderr, .status = 3, .readAtMost = 1 << 20},
        // Bad command lines.
        Call{.name = "BirthDateDoesNotExist", .args = {"destiny", "2023-02-30"}, .status = 2,
            .err = "orvantis-calc: '2023-02-30' is not a valid date: expected YYYY-MM-DD or "
                   "MM/DD/YYYY between 1753-01-01 and 9999-12-31\n"},
        // Every argument is checked before anything is printed; after "--" an
        // option is a date.
        Call{.name = "BadDatesAmongNumbers", .args = {"numbers", "1970-03-05", "--", "--target", "1752-12-31"},
            .status = 2, .err = "orvantis-calc: '--target' is not a valid date...\n"
                                "orvantis-calc: '1752-12-31' is not a valid date...\n"},
        Call{.name = "BadMonth", .args = {"year-month", "1970-03-05", "Smarch"}, .status = 2,
            .err = "orvantis-calc: 'Smarch' is not a valid month: expected 1-12 or an English month name\n"},
        Call{.name = "BadTarget", .args = {"day", "1970-03-05", "02/30"}, .status = 2,
            .err = "orvantis-calc: '02/30' is not a valid target day: expected MM/DD, or YYYY-MM-DD or "
                   "MM/DD/YYYY between 1753-01-01 and 9999-12-31\n"},
        Call{.name = "NoCommand", .args = {}, .status = 2, .err = "orvantis-calc: missing command" + kHint},
        Call{.name = "UnknownCommand", .args = {"fate", "1970-03-05"}, .status = 2,
            .err = "orvantis-calc: unknown command 'fate'" + kHint},
        Call{.name = "NoArguments", .args = {"destiny"}, .status = 2,
            .err = "orvantis-calc: 'destiny' expects BIRTH, got 0 arguments" + kHint},
        Call{.name = "OneArgumentShort", .args = {"day", "1970-03-05"}, .status = 2,
            .err = "orvantis-calc: 'day' expects BIRTH TARGET, got 1 argument" + kHint},
        Call{.name = "TargetOutsideNumbers", .args = {"destiny", "--target", "01/01", "1970-03-05"},
            .status = 2, .err = "orvantis-calc: unknown option '--target' for 'destiny'" + kHint},
        Call{.name = "TargetWithoutDay", .args = {"numbers", "--target"}, .status = 2,
            .err = "orvantis-calc: option '--target' needs a day, MM/DD" + kHint}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
