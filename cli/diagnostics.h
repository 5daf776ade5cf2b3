// Exit statuses and the one-line messages orvantis-calc writes to standard
// error. Every message names the offending text and says what was expected,
// so a user (or a script's log) can fix the input without reading the manual.
#pragma once

#include <string>
#include <string_view>

namespace orvantis::cli {

inline constexpr std::string_view kProgramName = "orvantis-calc";

enum ExitStatus : int {
    kExitOk = 0,
    kExitBadLines = 1, // numbers: some lines of standard input were skipped
    kExitUsage = 2,    // bad argument, unknown command or option, wrong count
    kExitIo = 3,       // standard input could not be read, or output or a message not written
};

// Writes "orvantis-calc: <message>\n" to standard error in one piece, so
// messages of concurrent writers never interleave within a line.
void reportError(std::string_view message);

// Whether a message could not be written (standard error closed, or a full
// disk): the run then ends with kExitIo, since its messages are lost.
bool errorsLost();

// The text between single quotes, made safe for a terminal: control
// characters (C0, DEL and C1) and bytes that are not UTF-8 appear as \xNN,
// one for each byte, and text longer than a line is cut with "...".
std::string quoted(std::string_view text);

std::string invalidDate(std::string_view text);
std::string invalidTarget(std::string_view text);
std::string invalidMonth(std::string_view text);

// Appended to messages about the shape of the command line.
inline constexpr std::string_view kHelpHint = " (try 'orvantis-calc --help')";

} // namespace orvantis::cli
