#pragma once

#include <string>

namespace modDestiny {

// Where a report is written. The builders only ever read the whole text and
// replace it with that text plus an addition, so anything offering those two
// operations can take a report: the window's model string, a test double, or
// the plain string that orvantis-calc prints.
class ReportArea {
public:
    virtual ~ReportArea() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(std::string text) = 0;
};

// The simplest area: a string in memory.
class StringReportArea final : public ReportArea {
public:
    StringReportArea() = default;
    explicit StringReportArea(std::string initial) : text_(std::move(initial)) {}
    std::string Text() const override { return text_; }
    void SetText(std::string text) override { text_ = std::move(text); }

private:
    std::string text_;
};

} // namespace modDestiny
