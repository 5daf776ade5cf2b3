// Fuzzes the report builders with arbitrary 16-bit numbers and arbitrary text
// already standing in the report area.
//
// Input layout: bytes 0-1 and 2-3 are two int16 values (little endian, zero
// when the input is shorter), the rest is the area's earlier text. Every
// builder runs on its own area holding that text. Checked:
//   - every single write keeps the text read before it as its prefix, so the
//     earlier text survives unchanged (append only);
//   - what is appended does not depend on what was there (same as on an
//     empty area);
//   - what is appended is printable ASCII with CR LF line breaks only, and
//     starts with the documented heading carrying the number;
//   - numbers without a catalogue entry add no paragraph at all.
// Any violation aborts, which libFuzzer reports as a crash with the input.

#include "fuzz_input.h"
#include "reports/report_area.h"
#include "reports/reports.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using modDestiny::PersonalNumber;

[[noreturn]] void fail(const char* builder, const char* what)
{
    std::fprintf(stderr, "fuzz_reports: %s: %s\n", builder, what);
    std::abort();
}

// A report area that refuses any write which does not start with the text it
// holds at that moment.
class AppendOnlyArea final : public modDestiny::ReportArea {
public:
    AppendOnlyArea(std::string initial, const char* builder)
        : text_(std::move(initial)), builder_(builder)
    {
    }
    std::string Text() const override { return text_; }
    void SetText(std::string text) override
    {
        if (text.size() < text_.size() || text.compare(0, text_.size(), text_) != 0)
            fail(builder_, "a write changed or dropped text that was already there");
        text_ = std::move(text);
    }

private:
    std::string text_;
    const char* builder_;
};

bool hasEntry(PersonalNumber n) // the catalogues cover exactly these numbers
{
    return (n >= 1 && n <= 9) || n == 11 || n == 22;
}

void checkAddition(const char* builder, std::string_view addition)
{
    for (std::size_t i = 0; i < addition.size(); ++i) {
        const char c = addition[i];
        if (c == '\r') {
            if (i + 1 >= addition.size() || addition[i + 1] != '\n')
                fail(builder, "CR not followed by LF");
        } else if (c == '\n') {
            if (i == 0 || addition[i - 1] != '\r')
                fail(builder, "LF without CR");
        } else if (c < 0x20 || c > 0x7E) {
            fail(builder, "character outside printable ASCII");
        }
    }
}

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

std::string heading(std::string_view label, PersonalNumber n)
{
    return "\r\n" + std::string(label) + std::to_string(n);
}

// Runs one builder on the given text and on an empty area; returns what it
// appended after checking the append-only and independence properties.
template <typename Build>
std::string appended(const char* builder, const std::string& earlier, Build build)
{
    AppendOnlyArea area(earlier, builder);
    build(area);
    const std::string after = area.Text();
    if (after.compare(0, earlier.size(), earlier) != 0)
        fail(builder, "earlier text not kept as the prefix");
    std::string addition = after.substr(earlier.size());

    AppendOnlyArea empty({}, builder);
    build(empty);
    if (empty.Text() != addition)
        fail(builder, "the addition depends on the earlier text");
    checkAddition(builder, addition);
    return addition;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PersonalNumber a = readInt16(data, size, 0);
    const PersonalNumber b = readInt16(data, size, 2);
    const std::string earlier = size > 4
        ? std::string(reinterpret_cast<const char*>(data) + 4, size - 4)
        : std::string();

    {
        const char* name = "ShowDestinyAndBirth";
        const std::string add = appended(name, earlier, [&](modDestiny::ReportArea& area) {
            modDestiny::ShowDestinyAndBirth(area, a, b);
        });
        if (!startsWith(add, heading("Destiny Number:", a) + "\r\n\r\n"))
            fail(name, "does not start with the Destiny heading");
        if (add.find(heading("Birth Number:", b) + "\r\n\r\n") == std::string::npos)
            fail(name, "no Birth heading");
        // The Birth catalogue stops at 9 (no master numbers); without an entry
        // the report ends right after the heading.
        const bool birthHasEntry = b >= 1 && b <= 9;
        if (add.ends_with(heading("Birth Number:", b) + "\r\n\r\n") == birthHasEntry)
            fail(name, "Birth paragraph written exactly when the number has an entry: violated");
    }
    {
        const char* name = "ShowPersonalYearMonth";
        const std::string add = appended(name, earlier, [&](modDestiny::ReportArea& area) {
            modDestiny::ShowPersonalYearMonth(area, a, b);
        });
        if (a == b) {
            if (!startsWith(add,
                            heading("You have the same Personal Year and Month number: ", a)
                                + "\r\n"))
                fail(name, "does not start with the combined heading");
        } else {
            if (!startsWith(add, heading("Personal Year: ", a) + "\r\n"))
                fail(name, "does not start with the Personal Year heading");
            if (add.find(heading("Personal Month: ", b) + "\r\n") == std::string::npos)
                fail(name, "no Personal Month heading");
        }
    }
    {
        const char* name = "ShowPersonalCycle";
        const std::string add = appended(name, earlier, [&](modDestiny::ReportArea& area) {
            modDestiny::ShowPersonalCycle(area, a);
        });
        if (hasEntry(a) != !add.empty())
            fail(name, "text written exactly when the number has an entry: violated");
        if (hasEntry(a) && !startsWith(add, "Keywords: "))
            fail(name, "does not start with the keywords line");
    }
    {
        const char* name = "ShowPersonalDay";
        const std::string add = appended(name, earlier, [&](modDestiny::ReportArea& area) {
            modDestiny::ShowPersonalDay(area, a);
        });
        if (hasEntry(a) != !add.empty())
            fail(name, "text written exactly when the number has an entry: violated");
        if (add.find('\r') != std::string::npos)
            fail(name, "line break in the day's paragraph");
    }
    return 0;
}
