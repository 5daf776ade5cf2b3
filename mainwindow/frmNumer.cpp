#include "mainwindow/frmNumer.h"

#include "dialogs/frmabout.h"
#include "dialogs/frmfont.h"
#include "look/look.h"
#include "look/window_frame.h"
#include "mainwindow/date_texts.h"
#include "mainwindow/drop_down_calendar.h"
#include "mainwindow/logging.h"
#include "mainwindow/main_window_look.h"
#include "mainwindow/report_view.h"
#include "mainwindow/saved_settings.h"
#include "mainwindow/tray_icon.h"
#include "platform/desktop_services.h"
#include "platform/help_browser.h"
#include "platform/single_instance.h"
#include "reports/reading.h"
#include "ui_frmNumer.h"

#include <QAction>
#include <QCloseEvent>
#include <QLayout>
#include <QMouseEvent>

#include <array>

namespace orvantis {

namespace {

// What each mode button switches on, how it colours the boxes and what the
// calculate button's tip says.
struct Mode {
    bool monthList; // Combo1: the twelve months, enabled, on the highlight colour
    bool dayBox;    // Text2: today's date, enabled, on the highlight colour
    const char* tip;
};
const std::array<Mode, 3> kModes{{
    {false, false, "Click to Calculate Destiny and Birthdate numbers!"},
    {true, false, "Click to Calculate Personal Year and Month numbers!"},
    {false, true, "Click to Calculate Personal Day number!"},
}};
// The tip the window opens with (lower-case "calculate"); the modes set their own.
constexpr char kTipAtStart[] = "Click to calculate Destiny and Birthdate numbers!";

} // namespace

frmNumer::frmNumer(const Services& services, QWidget* parent)
    : QMainWindow(parent), services_(services), ui(std::make_unique<Ui::frmNumer>())
{
    Q_ASSERT(services_.settings && services_.instance && services_.tray && services_.help
             && services_.urls && services_.messages && services_.clock);
    // The window's own face first, so that the controls are laid out in it as
    // they are made rather than in the desktop's default face, which the
    // window never shows.
    setFont(look::westminster(look::kMainWindowPointSize));
    ui->setupUi(this);
    // Fixed single border: a title bar with a close box, nothing to minimise
    // or maximise, and a size the user cannot change.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    look::keepNormalState(this);
    look::placeWhenFirstShown(this);

    applyMainWindowLook(*ui, this);
    setCalculateTip(QString::fromLatin1(kTipAtStart));
    MonthView1 = new DropDownCalendar(ui->Text3, {QStringLiteral("MonthView1"),
                                                  QStringLiteral("Birth date calendar"),
                                                  QRect(18, 42, 180, 188)});
    MonthView2 = new DropDownCalendar(ui->Text2, {QStringLiteral("MonthView2"),
                                                  QStringLiteral("Day calendar"),
                                                  QRect(526, 132, 180, 188)});
    tray_ = new TrayIcon(this, ui->mnuRestore, *services_.tray);
    saved_ = std::make_unique<SavedBirthDate>(*services_.settings, *services_.messages, this);

    report_.SetListener([this](const std::string& text) {
        ui->Text1->setPlainText(ReportModel::ForDisplay(text));
    });
    reportView_ = new ReportView(ui->Text1, report_, *services_.messages);
    connectHandlers();
    // First in the tab order: the window opens with the calculate button
    // taking Enter and Space.
    ui->Command1->setFocus();
}

frmNumer::~frmNumer() = default;

void frmNumer::connectHandlers()
{
    // A mode's handler runs when its button becomes selected, by a click, the
    // keyboard or a screen reader's "toggle"; clicking the selected one again
    // changes nothing.
    const auto onSelected = [this](QRadioButton* button, void (frmNumer::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool selected) {
            if (selected)
                (this->*handler)();
        });
    };
    onSelected(ui->Option1, &frmNumer::Option1_Click);
    onSelected(ui->Option2, &frmNumer::Option2_Click);
    onSelected(ui->Option3, &frmNumer::Option3_Click);
    connect(ui->Combo1, &QComboBox::currentIndexChanged, this, &frmNumer::Combo1_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &frmNumer::Command1_Click);
    connect(MonthView1, &DropDownCalendar::boxClicked, this, &frmNumer::Text3_Click);
    connect(MonthView1, &DropDownCalendar::dateClicked, this, &frmNumer::MonthView1_DateClick);
    connect(MonthView2, &DropDownCalendar::boxClicked, this, &frmNumer::Text2_Click);
    connect(MonthView2, &DropDownCalendar::dateClicked, this, &frmNumer::MonthView2_DateClick);
    connect(reportView_, &ReportView::clicked, this, &frmNumer::Text1_Click);
    connect(reportView_, &ReportView::doubleClicked, this, &frmNumer::Text1_DblClick);

    connect(ui->mnuHelpOption, &QAction::triggered, this, &frmNumer::mnuHelpOption_Click);
    connect(ui->mnuMinimize, &QAction::triggered, this, &frmNumer::mnuMinimize_Click);
    connect(ui->mnuAbout, &QAction::triggered, this, &frmNumer::mnuAbout_Click);
    connect(ui->mnuExit, &QAction::triggered, this, &frmNumer::mnuExit_Click);
    // The menu has already flipped the check mark when `triggered` arrives;
    // put it back so mnuBirth_Click sees the state the user clicked on.
    connect(ui->mnuBirth, &QAction::triggered, this, [this](bool checkedNow) {
        ui->mnuBirth->setChecked(!checkedNow);
        mnuBirth_Click();
    });

    connect(ui->mnuRestore1, &QAction::triggered, tray_, &TrayIcon::mnuRestore1_Click);
    connect(ui->mnuExit1, &QAction::triggered, tray_, &TrayIcon::mnuExit1_Click);
    connect(tray_, &TrayIcon::exitRequested, this, &frmNumer::applicationEndRequested);
    // A start refused because this one runs hands the user over to this window.
    connect(services_.instance, &SingleInstance::showRequested, tray_, &TrayIcon::bringBack);
}

void frmNumer::closeEvent(QCloseEvent* event)
{
    // Closed through its close box (or by the desktop): no window is left to
    // work in, so the program ends, even with the help window still open.
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT applicationEndRequested();
}

QDate frmNumer::newYearOfCurrentYear() const { return {services_.clock->today().year(), 1, 1}; }

void frmNumer::setCalculateTip(const QString& tip)
{
    ui->Command1->setToolTip(tip);
    ui->Command1->setAccessibleDescription(tip);
}

// ---------------------------------------------------------------- loading

bool frmNumer::Form_Load()
{
    // 1. Only one instance per desktop; the title is still the plain one.
    // When refused, the running window comes to the front as well (from the
    // tray, or minimised where there was none): the user gets it back.
    if (!services_.instance->TryClaim()) {
        services_.instance->AskHolderToShow();
        services_.messages->Information(nullptr, look::appTitle(),
                                        QStringLiteral("Can't allow to run another instance of Orvantis!"));
        return false;
    }

    // 2. Pointer moves are no tray messages while the window is shown.
    tray_->TrayBusy = true;

    // 3. Month list and day box start disabled, on the button face.
    for (QWidget* box : {static_cast<QWidget*>(ui->Combo1), static_cast<QWidget*>(ui->Text2)}) {
        box->setEnabled(false);
        look::setBoxColours(box, look::colours::buttonFace());
    }

    // 4.
    HideCalendars();

    // 5. + 6. The birth calendar on 1 January of this year, shown in the box;
    // the day calendar on today.
    MonthView1->setSelectedDate(newYearOfCurrentYear());
    MonthView2->setSelectedDate(services_.clock->today());
    ui->Text3->setText(datetext::BirthDateDisplay(MonthView1->selectedDate()));

    // 7. From here on this window is the running instance.
    setWindowTitle(look::fullTitle());
    for (QWidget* option : {ui->Option1, ui->Option2, ui->Option3})
        option->setEnabled(true);
    for (QAction* item : ui->mnuHelp->actions())
        item->setEnabled(true);

    // 8. The saved birth date, when saving is on.
    if (saved_->SavingOn()) {
        ui->Text3->setText(saved_->StoredDate());
        if (lcStartup().isInfoEnabled() && !ui->Text3->text().isEmpty()
            && !datetext::ParseBirthDateDisplay(ui->Text3->text()))
            qCInfo(lcStartup) << "the saved birth date is no date and is shown as it stands:"
                              << ui->Text3->text();
        ui->mnuBirth->setChecked(true);
    }
    return true;
}

// ------------------------------------------------------------ saved settings

void frmNumer::mnuBirth_Click()
{
    // The option is written before the date, both when turning off and on.
    // The check mark shows what is stored: it moves once the option is.
    const bool on = !ui->mnuBirth->isChecked();
    if (!saved_->StoreOption(on))
        return;
    ui->mnuBirth->setChecked(on);
    saved_->StoreDate(on ? ui->Text3->text() : QString());
}

// ------------------------------------------------------------------ modes

void frmNumer::Option1_Click() { applyMode(1); }
void frmNumer::Option2_Click() { applyMode(2); }
void frmNumer::Option3_Click() { applyMode(3); }

void frmNumer::applyMode(int number)
{
    const Mode& mode = kModes[size_t(number - 1)];
    const auto boxColour = [](bool on) {
        return on ? look::colours::highlight() : look::colours::buttonFace();
    };
    if (mode.monthList)
        FillMonths(); // always from an empty list, with the current month selected
    else
        ui->Combo1->clear();
    ui->Combo1->setEnabled(mode.monthList);
    look::setBoxColours(ui->Combo1, boxColour(mode.monthList));

    if (mode.dayBox) {
        // The calendar moves to today as well, so the box always shows the
        // day that the next calculation uses.
        MonthView2->setSelectedDate(services_.clock->today());
        ui->Text2->setText(datetext::DayDisplay(MonthView2->selectedDate()));
    } else {
        ui->Text2->clear();
    }
    ui->Text2->setEnabled(mode.dayBox);
    look::setBoxColours(ui->Text2, boxColour(mode.dayBox));

    setCalculateTip(QString::fromLatin1(mode.tip));
    HideCalendars();
}

int frmNumer::currentMode() const
{
    if (ui->Option2->isChecked())
        return 2;
    if (ui->Option3->isChecked())
        return 3;
    return 1;
}

void frmNumer::FillMonths()
{
    ui->Combo1->clear();
    for (const std::string_view name : reading::kMonthNames)
        ui->Combo1->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    ui->Combo1->setCurrentIndex(services_.clock->today().month() - 1);
}

void frmNumer::Combo1_Click()
{
    const int position = ui->Combo1->currentIndex();
    if (position >= 0)
        ChosenMonth = static_cast<modDestiny::PersonalNumber>(position + 1);
}

// -------------------------------------------------------------- calendars

void frmNumer::Text3_Click()
{
    // A damaged saved date cannot be shown: the calendar opens on New Year.
    const auto shown = datetext::ParseBirthDateDisplay(ui->Text3->text());
    if (!shown)
        qCInfo(lcWindow) << "the birth-date box holds no date:" << ui->Text3->text()
                         << "- the calendar opens on New Year";
    MonthView1->setSelectedDate(shown.value_or(newYearOfCurrentYear()));
    MonthView1->show();
}

void frmNumer::MonthView1_DateClick()
{
    ui->Text3->setText(datetext::BirthDateDisplay(MonthView1->selectedDate()));
    if (ui->mnuBirth->isChecked())
        saved_->StorePickedDate(ui->Text3->text());
    HideCalendars();
}

void frmNumer::Text2_Click() { MonthView2->show(); }

void frmNumer::MonthView2_DateClick()
{
    ui->Text2->setEnabled(false);
    MonthView2->hide();
    ui->Text2->setText(datetext::DayDisplay(MonthView2->selectedDate()));
    ui->Text2->setEnabled(true);
    HideCalendars();
}

void frmNumer::HideCalendars()
{
    MonthView1->hide();
    MonthView2->hide();
}

// ------------------------------------------------------------ calculation

void frmNumer::Command1_Click()
{
    report_.SetText({}); // shown empty at once, also when the day message follows
    const ReportModel::Batch oneUpdate(report_);
    // A box without a readable date (empty or damaged) calculates as empty:
    // the numbers that come from the birth date are then 0.
    const std::optional<QDate> shown = datetext::ParseBirthDateDisplay(ui->Text3->text());
    const std::optional<reading::Date> birth =
        shown ? std::optional(datetext::toReading(*shown)) : std::nullopt;
    HideCalendars();

    switch (currentMode()) {
    case 1:
        reading::DestinyAndBirthReading(report_, birth);
        reportView_->setReading(readingName(shown, {}, {}));
        break;
    case 2:
        reading::PersonalYearMonthReading(report_, birth, std::chrono::month(unsigned(ChosenMonth)));
        reportView_->setReading(readingName(shown, QStringLiteral("month"), ui->Combo1->currentText()));
        break;
    default:
        if (ui->Text2->text().isEmpty()) {
            services_.messages->Information(this, look::appTitle(),
                                            QStringLiteral("No date was chosen yet!"));
            return;
        }
        reading::PersonalDayReading(report_, birth, datetext::monthDay(MonthView2->selectedDate()));
        reportView_->setReading(readingName(shown, QStringLiteral("day"), ui->Text2->text()));
        break;
    }
}

// ------------------------------------------------------------ report area

void frmNumer::Text1_Click() { HideCalendars(); }

void frmNumer::Text1_DblClick() { frmFont::showModal(ui->Text1); }

// ------------------------------------------------------------------ menu

void frmNumer::mnuHelpOption_Click()
{
    HideCalendars();
    services_.help->ShowContents(helpFilePath());
}

void frmNumer::mnuMinimize_Click()
{
    HideCalendars();
    // Without a notification area there is no icon to bring a hidden window
    // back, and while the hidden window exists the single-instance rule
    // refuses a new start: the user would be locked out until logging off.
    // The window is minimised to the task list instead, which brings it back.
    if (!tray_->available()) {
        qCInfo(lcWindow) << "no notification area: minimised to the task list instead";
        showMinimized();
        return;
    }
    tray_->AddTrayIcon();
    hide();
}

void frmNumer::mnuAbout_Click()
{
    HideCalendars();
    frmAbout::showModal(this, services_);
}

void frmNumer::mnuExit_Click()
{
    // At once: no calendar is hidden, nothing is written.
    Q_EMIT applicationEndRequested();
}

} // namespace orvantis
