#include "numbers_batch.h"

#include "engine/text_fields.h"
#include "reports/reading.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace orvantis::cli {
namespace {

using modDestiny::PersonalNumber;

// Date, 14 or 15 numbers of at most six characters ("-32768") with their
// tabs, and the line end.
constexpr std::size_t kMaxRowBytes = 10 + 15 * 7 + 1;

// A line can hold a date and blanks; anything much longer is not a date, and
// keeping all of it would let one endless line exhaust memory.
constexpr std::size_t kMaxLineBytes = 4096;

constexpr std::size_t kReadBlockBytes = std::size_t{1} << 20;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char* putNumber(char* p, PersonalNumber n)
{
    *p++ = '\t';
    return std::to_chars(p, p + 6, n).ptr;
}

class LineProcessor {
public:
    LineProcessor(OutputBuffer& out, std::optional<std::chrono::month_day> target)
        : out_(out), rows_(target)
    {
    }

    void process(std::string_view raw, bool tooLong)
    {
        ++lineNumber_;
        if (lineNumber_ == 1 && raw.starts_with(kUtf8Bom))
            raw.remove_prefix(kUtf8Bom.size()); // left by some Windows editors
        const std::string_view line = text::Trim(raw, text::kBlanks);
        if (tooLong) {
            reject(quoted(line) + " is too long: expected one date per line");
            return;
        }
        if (line.empty())
            return;
        if (const auto date = parseDate(line))
            rows_.write(out_, *date);
        else
            reject(invalidDate(line));
    }

    bool skippedAny() const { return skipped_; }

private:
    void reject(const std::string& message)
    {
        reportError("line " + std::to_string(lineNumber_) + ": " + message);
        skipped_ = true;
    }

    OutputBuffer& out_;
    NumbersRowWriter rows_;
    unsigned long long lineNumber_ = 0;
    bool skipped_ = false;
};

} // namespace

NumbersRowWriter::NumbersRowWriter(std::optional<std::chrono::month_day> target)
    : target_(target)
{
}

std::size_t NumbersRowWriter::formatColumns(char* out, PersonalNumber personalYear) const
{
    char* p = out;
    for (unsigned month = 1; month <= 12; ++month)
        p = putNumber(p, reading::PersonalMonth(personalYear, std::chrono::month{month}));
    if (target_)
        p = putNumber(p, reading::PersonalDay(personalYear, *target_));
    return static_cast<std::size_t>(p - out);
}

void NumbersRowWriter::write(OutputBuffer& out, reading::Date birth)
{
    // The Destiny Number is the Personal Year.
    const auto [personalYear, birthNumber] = reading::DestinyAndBirthNumbers(birth);
    const reading::DateText dateText = reading::EngineDate(birth);

    char* p = out.reserve(kMaxRowBytes);
    std::memcpy(p, dateText.chars.data(), dateText.chars.size());
    p += dateText.chars.size();
    p = putNumber(p, personalYear);
    p = putNumber(p, birthNumber);
    if (personalYear >= 0 && static_cast<std::size_t>(personalYear) < kCachedYears) {
        Columns& cached = columns_[static_cast<std::size_t>(personalYear)];
        if (cached.size == 0)
            cached.size = formatColumns(cached.text.data(), personalYear);
        std::memcpy(p, cached.text.data(), cached.size);
        p += cached.size;
    } else {
        p += formatColumns(p, personalYear);
    }
    *p++ = '\n';
    out.commit(p);
}

ExitStatus runNumbersStream(std::FILE* in, OutputBuffer& out,
                            std::optional<std::chrono::month_day> target)
{
    LineProcessor lines(out, target);
    std::vector<char> block(kReadBlockBytes);
    // The start of a line that runs past the end of a block, up to
    // kMaxLineBytes of it.
    std::string pending;
    bool pendingTooLong = false;
    auto addPending = [&](std::string_view piece) {
        const std::size_t room = kMaxLineBytes - pending.size();
        if (piece.size() > room) {
            pendingTooLong = true;
            piece = piece.substr(0, room);
        }
        pending.append(piece);
    };

    int readError = 0;
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), in);
        if (got == 0) {
            if (std::ferror(in))
                readError = errno != 0 ? errno : EIO;
            break;
        }
        const std::string_view chunk(block.data(), got);
        std::size_t start = 0;
        for (;;) {
            const auto* nl = static_cast<const char*>(
                std::memchr(chunk.data() + start, '\n', chunk.size() - start));
            if (!nl) {
                addPending(chunk.substr(start));
                break;
            }
            const auto end = static_cast<std::size_t>(nl - chunk.data());
            const std::string_view line = chunk.substr(start, end - start);
            if (pending.empty() && !pendingTooLong) {
                lines.process(line, line.size() > kMaxLineBytes);
            } else {
                addPending(line);
                lines.process(pending, pendingTooLong);
                pending.clear();
                pendingTooLong = false;
            }
            start = end + 1;
        }
        // Nobody takes the output or the messages any more: the caller says
        // so, or ends with kExitIo. Reading on would never end with `yes`.
        if (out.failed() || errorsLost())
            return kExitIo;
    }
    if (readError != 0) {
        reportError(std::string("cannot read standard input: ") + std::strerror(readError));
        return kExitIo;
    }
    if (!pending.empty() || pendingTooLong)
        lines.process(pending, pendingTooLong); // a last line without line end
    if (!out.flush())
        return kExitIo; // reported by the caller, like every write failure
    return lines.skippedAny() ? kExitBadLines : kExitOk;
}

} // namespace orvantis::cli
