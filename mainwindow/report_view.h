// The report area's behaviour beyond showing the report: a left click and a
// double click (the window's Text1_Click and Text1_DblClick; the double click
// leaves the selection as it was), and its context menu (right click, the
// Menu key, Shift+F10) with "&Copy", "Select &All", "Save &Reading As...",
// "&Print..." and "Text &Size..." (what the double click opens).
//
// A reading is saved as plain text (UTF-8, exactly the report's text, CR LF
// line breaks included) or as PDF, written whole or not at all; it is printed
// through Qt's print dialog, from a module loaded on the first print.
#pragma once

#include "mainwindow/reading_document.h"

#include <QObject>
#include <QString>
#include <QTextCursor>

class QAction;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace orvantis {

class MessageBoxes;
class ReportModel;

class ReportView final : public QObject {
    Q_OBJECT

public:
    ReportView(QPlainTextEdit* area, const ReportModel& report, MessageBoxes& messages);

    // Which reading the report holds, for titles and file names; set when a
    // report has been calculated.
    void setReading(ReadingName name) { name_ = std::move(name); }

    // Writes the reading to `path`, as PDF when the name ends in ".pdf", else
    // as text (a link's target is written, the link stays). On failure
    // (anything but an ordinary file included) tells the user which file and
    // why, leaves no file half written behind, and returns false.
    bool save(const QString& path);

    // The context menu as it is about to open, with its items switched on or
    // off for the report it has.
    QMenu* contextMenu();

Q_SIGNALS:
    void clicked();
    // A left double click, or "Text &Size..." chosen in the menu.
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copy();
    void saveAs();
    // Asks before an existing file is replaced, naming the file that really
    // is (a link's target); true when the save may go ahead.
    bool replaceConfirmed(const QString& path);
    void print();
    bool empty() const;

    QPlainTextEdit* area_;
    // Kept, not asked of the area: the viewport still sends events while the
    // area is being destroyed, when it is no longer a scroll area to ask.
    QWidget* viewport_;
    const ReportModel& report_;
    MessageBoxes& messages_;
    ReadingName name_;
    QString lastFolder_; // where the last reading was saved, for this run
    QMenu* menu_ = nullptr;
    QAction* textSize_ = nullptr;
    QTextCursor beforeClick_; // where the caret was before the last left press
};

} // namespace orvantis
