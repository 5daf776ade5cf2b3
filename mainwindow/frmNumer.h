// frmNumer: the main window. It holds the user's inputs (birth date, mode,
// month, target day), turns them into a report through the core's one
// calculation path, and shows the report in its report area.
//
// Handlers carry the names of the control and the event they answer
// (Command1_Click, MonthView1_DateClick, ...) and are public, so that the
// start-up code and the tests drive the window exactly as events do. The
// notification-area icon and the window's trip into the tray are TrayIcon's
// (tray_icon.h); the drop-down calendars are DropDownCalendar's.
#pragma once

#include "engine/numbers.h"
#include "mainwindow/report_model.h"
#include "platform/services.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QCloseEvent;

namespace Ui {
class frmNumer;
}

namespace orvantis {

class DropDownCalendar;
class ReportView;
class SavedBirthDate;
class TrayIcon;

class frmNumer : public QMainWindow {
    Q_OBJECT

public:
    // Every service must be given (see platform/services.h).
    explicit frmNumer(const Services& services, QWidget* parent = nullptr);
    ~frmNumer() override;

    // Loads the window: claims the single instance, then sets up the controls,
    // the full title and the saved settings. Returns false when another
    // instance is running; the user has then been told, nothing has been read
    // or written, and the caller ends the program without showing the window.
    [[nodiscard]] bool Form_Load();

    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Text3_Click();
    void MonthView1_DateClick();
    void Text2_Click();
    void MonthView2_DateClick();
    void Combo1_Click();
    void FillMonths();
    void Command1_Click();
    void Text1_Click();
    void Text1_DblClick();
    void HideCalendars();
    void mnuBirth_Click();
    void mnuHelpOption_Click();
    void mnuMinimize_Click();
    void mnuAbout_Click();
    void mnuExit_Click();

    // The report area's text exactly as the report builders left it (CR LF
    // included): its read operation, one of the two the report builders
    // have. The window itself shows it; the tests read it here.
    const ReportModel& report() const { return report_; }

Q_SIGNALS:
    // "E&xit", "&Exit" in the tray's menu, or the close box: the program is to
    // end at once, without any closing handler.
    void applicationEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void applyMode(int mode);
    int currentMode() const; // 1, 2 or 3
    void setCalculateTip(const QString& tip);
    QDate newYearOfCurrentYear() const;

    Services services_;
    std::unique_ptr<Ui::frmNumer> ui;
    ReportModel report_;
    DropDownCalendar* MonthView1; // the birth-date calendar, below Text3
    DropDownCalendar* MonthView2; // the target-day calendar, below Text2
    TrayIcon* tray_;
    ReportView* reportView_;
    std::unique_ptr<SavedBirthDate> saved_;

    modDestiny::PersonalNumber ChosenMonth = 0;
};

} // namespace orvantis
