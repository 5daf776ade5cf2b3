#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace modDestiny {

// What a stretch of a report is. The builders say it of each heading,
// keywords line and paragraph as they write it, so that a reading can be
// laid out on paper (headings bold, keywords in italics) from what the
// builders meant rather than from what its words look like.
enum class BlockKind : std::uint8_t { Heading, Keywords, Paragraph };

// The bytes [begin, end) of the area's text.
struct Block {
    BlockKind kind;
    std::size_t begin;
    std::size_t end;
};

// Where a report is written. The builders only ever read the whole text and
// replace it with that text plus an addition, so anything offering those two
// operations can take a report: the window's model string, a test double, or
// the plain string that orvantis-calc prints. After an addition they mark the
// blocks it holds; marking changes no text.
class ReportArea {
public:
    virtual ~ReportArea() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(std::string text) = 0;
    virtual void MarkBlock(const Block& block) = 0;
};

// A report as written: its text and the blocks marked in it, in order.
struct MarkedReport {
    std::string text;
    std::vector<Block> blocks;
};

// The simplest area: a report in memory. Its marks last while the text only
// grows; a text that does not begin with the old one (the area emptied, or
// written over) takes them away, so they always describe the text held.
class StringReportArea final : public ReportArea {
public:
    StringReportArea() = default;
    explicit StringReportArea(std::string initial) { report_.text = std::move(initial); }
    std::string Text() const override { return report_.text; }
    void SetText(std::string text) override
    {
        if (!text.starts_with(report_.text))
            report_.blocks.clear();
        report_.text = std::move(text);
    }
    // A block outside the text is no block of it, and is dropped.
    void MarkBlock(const Block& block) override
    {
        if (block.begin <= block.end && block.end <= report_.text.size())
            report_.blocks.push_back(block);
    }
    const MarkedReport& Report() const { return report_; }

private:
    MarkedReport report_;
};

} // namespace modDestiny
