// frmNumer: the main window. It holds the user's inputs (birth date, mode,
// month, target day), turns them into personal numbers with the engine and
// hands those to the report builders, which write into the report area.
//
// Handlers carry the names of the control and the event they answer
// (Command1_Click, MonthView1_DateClick, ...) and are public so that the
// start-up code and the tests can drive the window exactly as events do.
#pragma once

#include "engine/numbers.h"
#include "platform/services.h"
#include "report_model.h"

#include <QDate>
#include <QElapsedTimer>
#include <QIcon>
#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QCloseEvent;
class QMouseEvent;
class QPlainTextEdit;
class QShowEvent;

namespace Ui {
class frmNumer;
}

namespace orvantis {

class frmNumer : public QMainWindow {
    Q_OBJECT

public:
    static constexpr char kPlainTitle[] = "Orvantis";
    static constexpr char kFullTitle[] = "Orvantis - Lumevarre";
    static constexpr char kSettingsApplication[] = "Orvantis";

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

    // The notification-area icon. Its mouse events reach the window as
    // pointer moves whose horizontal position, in twips, is the event's code
    // (512..517) times the screen's twips per pixel; Form_MouseMove decodes
    // them while TrayBusy is false, i.e. only while the window is in the tray.
    void AddTrayIcon();
    void RemoveTrayIcon();
    void Form_MouseMove(int button, int shift, double X, double Y);
    void mnuRestore1_Click();
    void mnuExit1_Click();

    // The help file: the program's own directory (not the working directory)
    // followed by "/Orvantis.hlp".

    // Window state, read-only from outside.
    modDestiny::PersonalNumber chosenMonth() const { return ChosenMonth; }
    const QString& birthDateText() const { return BirthDateText; }
    const QString& birthDayText() const { return BirthDayText; }
    const ReportModel& report() const { return report_; }
    // The report area's box, whose font the text-size dialog sets.
    QPlainTextEdit* reportArea() const;

    // While true, pointer moves over the window are not notification-icon
    // messages. One per application; loading sets it.
    static inline bool TrayBusy = false;

    // Seams. The constructor fills them with the real thing (the dialogs, the
    // clock, the end of the event loop, the screen); tests replace them. An
    // empty hook does nothing.
    std::function<void()> showAbout;    // "&About": the modal About window
    std::function<void()> showTextSize; // double-click on the report: text size
    // Ends the program at once, without any closing handler: the event loop
    // stops and main() returns.
    std::function<void()> endApplication;
    // The clock behind "today", "current month" and "current year".
    std::function<QDate()> today;
    // Twips (1/1440 inch) per horizontal pixel of the screen the window is on,
    // as the platform reports its logical resolution: 15 at 96 dpi, 12 at 120.
    std::function<double()> twipsPerPixelX;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyAppearance();
    void connectHandlers();
    void setCalculateTip(const QString& tip);
    void setBoxBackground(QWidget* box, const QColor& colour);
    void applySavedSettings();
    void writeSetting(const char* section, const char* key, const QString& value);
    int currentMode() const;
    QDate newYearOfCurrentYear() const;
    void notePickedByMouse(const QWidget* calendar);
    bool isSecondClickOfPick(const QEvent* event) const;
    void iconMessage(int code, const QPoint& globalPos);

    // The notification record: the picture and the tip of the last add, kept
    // unchanged until the next one.
    struct NotifyIconData {
        QIcon icon;
        QString tip;
    };

    Services services_;
    std::unique_ptr<Ui::frmNumer> ui;
    ReportModel report_;
    bool centred_ = false;
    // Where and when a calendar closed under the pointer after a day was
    // clicked: the second click of a double click on that day must not reach
    // the report area or the calculate button that were under the calendar.
    QElapsedTimer pickedSince_;
    QRect pickedArea_;
    NotifyIconData TrayIconData;
    // Where the pointer was at the last icon message (or pointer move): the
    // tray's pop-up menu opens there.
    QPoint iconPointer_;

    modDestiny::PersonalNumber ChosenMonth = 0;
    QString BirthDateText;
    QString BirthDayText;
};

} // namespace orvantis
