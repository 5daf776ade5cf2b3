// The report area's text as the report builders see it.
//
// The builders read the whole text and replace it with that text plus an
// addition; the exact text they produce (CR LF line breaks included) is kept
// here with the blocks they mark in it, and the window's read-only text box
// only shows the text. Every replacement is passed on to one listener, the
// box.
#pragma once

#include "reports/report_area.h"

#include <QString>

#include <functional>
#include <string>

namespace orvantis {

class ReportModel final : public modDestiny::ReportArea {
public:
    using Listener = std::function<void(const std::string& text)>;

    std::string Text() const override { return area_.Text(); }
    void SetText(std::string text) override;
    void MarkBlock(const modDestiny::Block& block) override { area_.MarkBlock(block); }

    // The text with its blocks: what a saved, PDF or printed reading is made of.
    const modDestiny::MarkedReport& Reading() const { return area_.Report(); }

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    // Holds the listener back for its lifetime and passes the final text on
    // once at the end, if anything changed: a report arrives as a dozen
    // additions, and re-laying the box out for each one costs more than
    // building the whole report.
    class Batch {
    public:
        explicit Batch(ReportModel& model) : model_(model) { ++model_.held_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ReportModel& model_;
    };

    // The text as a Qt text box shows it: UTF-8 decoded, CR LF (and a lone
    // CR) turned into the box's own line break.
    static QString ForDisplay(const std::string& text);

private:
    modDestiny::StringReportArea area_;
    Listener listener_;
    int held_ = 0;
    bool changedWhileHeld_ = false;
};

} // namespace orvantis
