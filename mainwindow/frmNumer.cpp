#include "frmNumer.h"

#include "appearance.h"
#include "date_texts.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmfont.h"
#include "platform/desktop_services.h"
#include "platform/help_browser.h"
#include "platform/notify_area.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "platform/system_colours.h"
#include "reports/reports.h"
#include "ui_frmNumer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>

#include <array>
#include <cmath>

namespace orvantis {
namespace {

// The tip the window opens with (lower-case "calculate"); the modes set their own.
const QString kTipAtStart = QStringLiteral("Click to calculate Destiny and Birthdate numbers!");
const QString kTipMode1 = QStringLiteral("Click to Calculate Destiny and Birthdate numbers!");
const QString kTipMode2 = QStringLiteral("Click to Calculate Personal Year and Month numbers!");
const QString kTipMode3 = QStringLiteral("Click to Calculate Personal Day number!");

const std::array<QString, 12> kMonthNames{
    QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
    QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
    QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
    QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};

// Keys that drop a calendar down from its box, for those who don't use a mouse.
bool opensCalendar(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F4:
        return true;
    case Qt::Key_Down:
        return key.modifiers().testFlag(Qt::AltModifier);
    default:
        return false;
    }
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    // Disabled boxes keep the style's greyed text.
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    widget->setPalette(palette);
}

} // namespace

frmNumer::frmNumer(const Services& services, QWidget* parent)
    : QMainWindow(parent), services_(services), ui(std::make_unique<Ui::frmNumer>())
{
    today = [] { return QDate::currentDate(); };
    endApplication = [] { QCoreApplication::exit(0); };
    showAbout = [this] { frmAbout::showModal(this, services_); };
    showTextSize = [this] { frmFont::showModal(reportArea()); };
    twipsPerPixelX = [this] {
        const QScreen* s = screen();
        const qreal dpi = s != nullptr ? s->logicalDotsPerInchX() : 96.0;
        return 1440.0 / (dpi > 0 ? dpi : 96.0);
    };

    ui->setupUi(this);
    // Fixed single border: a title bar with a close box, nothing to minimise
    // or maximise, and a size the user cannot change.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The separators keep the names the menus were laid out with.
    int line = 0;
    for (QAction* action : ui->mnuHelp->actions())
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("line%1").arg(++line));
    for (QAction* action : ui->mnuRestore->actions())
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("Line4"));

    // The drop-down calendars cover the controls below them.
    ui->MonthView1->raise();
    ui->MonthView2->raise();

    applyAppearance();

    report_.SetListener([this](const std::string& text) {
        ui->Text1->setPlainText(ReportModel::ForDisplay(text));
    });

    ui->Text3->installEventFilter(this);
    ui->Text2->installEventFilter(this);
    ui->Text1->viewport()->installEventFilter(this);
    ui->Command1->installEventFilter(this);
    ui->MonthView1->installEventFilter(this);
    ui->MonthView2->installEventFilter(this);
    connectHandlers();
}

frmNumer::~frmNumer() = default;

void frmNumer::applyAppearance()
{
    setWindowIcon(appearance::AppIcon());
    setFont(appearance::Westminster(9.75));

    for (QWidget* caption : std::initializer_list<QWidget*>{
             ui->Label1, ui->Label2, ui->Label3, ui->Option1, ui->Option2, ui->Option3}) {
        caption->setFont(appearance::Westminster(12));
        setTextColour(caption, QPalette::WindowText, colours::highlight());
        setTextColour(caption, QPalette::ButtonText, colours::highlight());
    }

    const QFont boxFont = appearance::MsSansSerif();
    for (QWidget* box : std::initializer_list<QWidget*>{ui->Text3, ui->Text2, ui->Combo1,
                                                        ui->Text1, ui->MonthView1,
                                                        ui->MonthView2})
        box->setFont(boxFont);

    setBoxBackground(ui->Text3, colours::highlight());
    setBoxBackground(ui->Text1, colours::activeTitleBar());
    setBoxBackground(ui->Text2, colours::buttonFace());
    setBoxBackground(ui->Combo1, colours::buttonFace());

    ui->Image1->setPixmap(appearance::SvgStretched(QString::fromLatin1(appearance::kAppIconPath),
                                             ui->Image1->size(), devicePixelRatioF()));
    ui->Command1->setIcon(appearance::SvgIcon(QString::fromLatin1(appearance::kGlobePath)));
    setCalculateTip(kTipAtStart);
}

void frmNumer::setBoxBackground(QWidget* box, const QColor& colour)
{
    QPalette palette = box->palette();
    // Line edits paint the Base role, a list without typing the Button role.
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    box->setPalette(palette);
    setTextColour(box, QPalette::Text, colours::yellow());
    setTextColour(box, QPalette::ButtonText, colours::yellow());
}

void frmNumer::setCalculateTip(const QString& tip)
{
    ui->Command1->setToolTip(tip);
    ui->Command1->setAccessibleDescription(tip);
}

void frmNumer::connectHandlers()
{
    connect(ui->Option1, &QRadioButton::clicked, this, &frmNumer::Option1_Click);
    connect(ui->Option2, &QRadioButton::clicked, this, &frmNumer::Option2_Click);
    connect(ui->Option3, &QRadioButton::clicked, this, &frmNumer::Option3_Click);
    connect(ui->Combo1, &QComboBox::currentIndexChanged, this, &frmNumer::Combo1_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &frmNumer::Command1_Click);

    // A click on a day, or Enter on the selected day, picks it.
    connect(ui->MonthView1, &QCalendarWidget::clicked, this, [this] {
        MonthView1_DateClick();
        notePickedByMouse(ui->MonthView1);
    });
    connect(ui->MonthView2, &QCalendarWidget::clicked, this, [this] {
        MonthView2_DateClick();
        notePickedByMouse(ui->MonthView2);
    });
    connect(ui->MonthView1, &QCalendarWidget::activated, this, [this] {
        MonthView1_DateClick();
        ui->Text3->setFocus();
    });
    connect(ui->MonthView2, &QCalendarWidget::activated, this, [this] {
        MonthView2_DateClick();
        ui->Text2->setFocus();
    });

    connect(ui->mnuHelpOption, &QAction::triggered, this, &frmNumer::mnuHelpOption_Click);
    connect(ui->mnuMinimize, &QAction::triggered, this, &frmNumer::mnuMinimize_Click);
    connect(ui->mnuAbout, &QAction::triggered, this, &frmNumer::mnuAbout_Click);
    connect(ui->mnuExit, &QAction::triggered, this, &frmNumer::mnuExit_Click);
    connect(ui->mnuRestore1, &QAction::triggered, this, &frmNumer::mnuRestore1_Click);
    connect(ui->mnuExit1, &QAction::triggered, this, &frmNumer::mnuExit1_Click);
    if (services_.tray != nullptr)
        connect(services_.tray, &NotifyArea::iconMessage, this, &frmNumer::iconMessage);
    // The menu has already flipped the check mark when `triggered` arrives;
    // put it back so mnuBirth_Click sees the state the user clicked on.
    connect(ui->mnuBirth, &QAction::triggered, this, [this](bool checkedNow) {
        ui->mnuBirth->setChecked(!checkedNow);
        mnuBirth_Click();
    });
}

void frmNumer::notePickedByMouse(const QWidget* calendar)
{
    pickedArea_ = QRect(calendar->mapToGlobal(QPoint(0, 0)), calendar->size());
    pickedSince_.start();
}

bool frmNumer::isSecondClickOfPick(const QEvent* event) const
{
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return pickedSince_.isValid() && pickedSince_.elapsed() < QApplication::doubleClickInterval()
           && pickedArea_.contains(mouse->globalPosition().toPoint());
}

bool frmNumer::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        && (watched == ui->Text1->viewport() || watched == ui->Command1) && isSecondClickOfPick(event))
        return true;
    const auto leftButton = [event] {
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // A disabled box takes no clicks.
        if (watched == ui->Text3 && ui->Text3->isEnabled() && leftButton())
            Text3_Click();
        else if (watched == ui->Text2 && ui->Text2->isEnabled() && leftButton())
            Text2_Click();
        else if (watched == ui->Text1->viewport() && leftButton())
            Text1_Click();
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == ui->Text1->viewport() && leftButton())
            Text1_DblClick();
        break;
    case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (watched == ui->Text3 && opensCalendar(key)) {
            Text3_Click();
            ui->MonthView1->setFocus();
            return true;
        }
        if (watched == ui->Text2 && opensCalendar(key)) {
            Text2_Click();
            ui->MonthView2->setFocus();
            return true;
        }
        if (key.key() == Qt::Key_Escape && (watched == ui->MonthView1 || watched == ui->MonthView2)) {
            auto* calendar = static_cast<QWidget*>(watched);
            calendar->hide();
            (calendar == ui->MonthView1 ? ui->Text3 : ui->Text2)->setFocus();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmNumer::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmNumer::closeEvent(QCloseEvent* event)
{
    // Closed through its close box (or by the desktop): no window is left to
    // work in, so the program ends, even with the help window still open.
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && endApplication)
        endApplication();
}

QPlainTextEdit* frmNumer::reportArea() const { return ui->Text1; }

QDate frmNumer::newYearOfCurrentYear() const { return QDate(today().year(), 1, 1); }

int frmNumer::currentMode() const
{
    if (ui->Option2->isChecked())
        return 2;
    if (ui->Option3->isChecked())
        return 3;
    return 1;
}

// ---------------------------------------------------------------- loading

bool frmNumer::Form_Load()
{
    // 1. Only one instance per desktop; the title is still the plain one.
    if (services_.instance && !services_.instance->TryClaim()) {
        if (services_.messages)
            services_.messages->Information(
                nullptr, QString::fromLatin1(kPlainTitle),
                QStringLiteral("Can't allow to run another instance of Orvantis!"));
        return false;
    }

    // 2. Pointer moves are no tray messages while the window is shown.
    TrayBusy = true;

    // 3. Month list and day box start disabled, on the button face.
    ui->Combo1->setEnabled(false);
    ui->Text2->setEnabled(false);
    setBoxBackground(ui->Combo1, colours::buttonFace());
    setBoxBackground(ui->Text2, colours::buttonFace());

    // 4.
    HideCalendars();

    // 5. + 6. The birth calendar on 1 January of this year, shown in the box;
    // the day calendar on today.
    ui->MonthView1->setSelectedDate(newYearOfCurrentYear());
    ui->MonthView2->setSelectedDate(today());
    ui->Text3->setText(datetext::BirthDateDisplay(ui->MonthView1->selectedDate()));

    // 7. From here on this window is the running instance.
    setWindowTitle(QString::fromLatin1(kFullTitle));
    for (QWidget* option : {ui->Option1, ui->Option2, ui->Option3})
        option->setEnabled(true);
    for (QAction* item : ui->mnuHelp->actions())
        item->setEnabled(true);

    // 8.
    applySavedSettings();
    return true;
}

// ------------------------------------------------------------ saved settings

void frmNumer::applySavedSettings()
{
    const auto read = [this](const char* section, const char* key) {
        return services_.settings
                   ? services_.settings->ReadSetting(QString::fromLatin1(kSettingsApplication),
                                                     QString::fromLatin1(section),
                                                     QString::fromLatin1(key))
                   : QString();
    };
    // Exactly "1": no blanks, no other spellings of "yes".
    if (read("Startup", "StartUpOption") == QLatin1String("1")) {
        ui->Text3->setText(datetext::StoredToDisplay(read("StartUp", "StartUpdate")));
        ui->mnuBirth->setChecked(true);
    } else {
        ui->Text3->setText(datetext::BirthDateDisplay(newYearOfCurrentYear()));
    }
}

void frmNumer::writeSetting(const char* section, const char* key, const QString& value)
{
    if (services_.settings)
        services_.settings->WriteSetting(QString::fromLatin1(kSettingsApplication),
                                         QString::fromLatin1(section), QString::fromLatin1(key),
                                         value);
}

void frmNumer::mnuBirth_Click()
{
    // The option is written before the date, both when turning off and on.
    if (ui->mnuBirth->isChecked()) {
        ui->mnuBirth->setChecked(false);
        writeSetting("StartUp", "StartUpOption", QStringLiteral("0"));
        writeSetting("StartUp", "StartUpDate", QString());
    } else {
        ui->mnuBirth->setChecked(true);
        writeSetting("StartUp", "StartUpOption", QStringLiteral("1"));
        writeSetting("StartUp", "StartUpDate", datetext::DisplayToStored(ui->Text3->text()));
    }
}

// ------------------------------------------------------------------ modes

void frmNumer::Option1_Click()
{
    ui->Combo1->clear();
    ui->Text2->clear();
    ui->Combo1->setEnabled(false);
    ui->Text2->setEnabled(false);
    setBoxBackground(ui->Combo1, colours::buttonFace());
    setBoxBackground(ui->Text2, colours::buttonFace());
    setCalculateTip(kTipMode1);
    HideCalendars();
}

void frmNumer::Option2_Click()
{
    ui->Text2->clear();
    ui->Combo1->setEnabled(true);
    ui->Text2->setEnabled(false);
    setBoxBackground(ui->Combo1, colours::highlight());
    setBoxBackground(ui->Text2, colours::buttonFace());
    FillMonths();
    setCalculateTip(kTipMode2);
    HideCalendars();
}

void frmNumer::Option3_Click()
{
    ui->Combo1->clear();
    ui->Combo1->setEnabled(false);
    ui->Text2->setEnabled(true);
    setBoxBackground(ui->Text2, colours::highlight());
    setBoxBackground(ui->Combo1, colours::buttonFace());
    // The calendar moves to today as well, so the box always shows the day
    // that the next calculation uses.
    ui->MonthView2->setSelectedDate(today());
    ui->Text2->setText(datetext::DayDisplay(ui->MonthView2->selectedDate()));
    setCalculateTip(kTipMode3);
    HideCalendars();
}

void frmNumer::FillMonths()
{
    ui->Combo1->clear();
    for (const QString& name : kMonthNames)
        ui->Combo1->addItem(name);
    ui->Combo1->setCurrentIndex(today().month() - 1);
}

void frmNumer::Combo1_Click()
{
    const int position = ui->Combo1->currentIndex();
    if (position < 0)
        return;
    ChosenMonth = static_cast<modDestiny::PersonalNumber>(position + 1);
}

// -------------------------------------------------------------- calendars

void frmNumer::Text3_Click()
{
    // A damaged saved date cannot be shown: the calendar opens on New Year.
    const auto shown = datetext::ParseBirthDateDisplay(ui->Text3->text());
    ui->MonthView1->setSelectedDate(shown.value_or(newYearOfCurrentYear()));
    ui->MonthView1->show();
}

void frmNumer::MonthView1_DateClick()
{
    ui->Text3->setText(datetext::BirthDateDisplay(ui->MonthView1->selectedDate()));
    if (ui->mnuBirth->isChecked())
        writeSetting("Startup", "StartUpDate", datetext::DisplayToStored(ui->Text3->text()));
    HideCalendars();
}

void frmNumer::Text2_Click() { ui->MonthView2->show(); }

void frmNumer::MonthView2_DateClick()
{
    ui->Text2->setEnabled(false);
    ui->MonthView2->hide();
    ui->Text2->setText(datetext::DayDisplay(ui->MonthView2->selectedDate()));
    ui->Text2->setEnabled(true);
    HideCalendars();
}

void frmNumer::HideCalendars()
{
    ui->MonthView1->hide();
    ui->MonthView2->hide();
}

// ------------------------------------------------------------ calculation

void frmNumer::Command1_Click()
{
    using namespace modDestiny;

    report_.SetText({}); // shown empty at once, also when the day message follows
    const ReportModel::Batch oneUpdate(report_);
    // A box without a readable date (empty or damaged) calculates as empty:
    // the numbers that come from the birth date are then 0.
    const auto birthDate = datetext::ParseBirthDateDisplay(ui->Text3->text());
    BirthDateText = birthDate ? datetext::EngineDate(*birthDate) : QString();
    HideCalendars();

    const std::string fullDate = BirthDateText.toStdString();
    switch (currentMode()) {
    case 1: {
        const PersonalNumber destiny = CalcDateNumber(fullDate);
        BirthDayText = birthDate ? datetext::EngineDay(*birthDate) : QString();
        const PersonalNumber birth = CalcBirthNumber(BirthDayText.toStdString());
        ShowDestinyAndBirth(report_, destiny, birth);
        break;
    }
    case 2: {
        const PersonalNumber personalYear = CalcDateNumber(fullDate);
        const PersonalNumber personalMonth = CalcPersonalMonth(personalYear, ChosenMonth);
        ShowPersonalYearMonth(report_, personalYear, personalMonth);
        break;
    }
    default: {
        if (ui->Text2->text().isEmpty()) {
            if (services_.messages)
                services_.messages->Information(this, QString::fromLatin1(kPlainTitle),
                                                QStringLiteral("No date was chosen yet!"));
            return;
        }
        const PersonalNumber personalYear = CalcDateNumber(fullDate);
        const std::string monthDay =
            datetext::EngineMonthDay(ui->MonthView2->selectedDate()).toStdString();
        ShowPersonalDay(report_, CalcPersonalDay(personalYear, monthDay));
        break;
    }
    }
    BirthDateText.clear();
}

// ------------------------------------------------------------ report area

void frmNumer::Text1_Click() { HideCalendars(); }

void frmNumer::Text1_DblClick()
{
    if (showTextSize)
        showTextSize();
}

// ------------------------------------------------------------------ menu

void frmNumer::mnuHelpOption_Click()
{
    HideCalendars();
    if (services_.help)
        services_.help->ShowContents(orvantis::helpFilePath());
}

void frmNumer::mnuMinimize_Click()
{
    HideCalendars();
    // Without a notification area there is no icon to bring a hidden window
    // back, and while the hidden window exists the single-instance rule
    // refuses a new start: the user would be locked out until logging off.
    // The window is minimised to the task list instead, which brings it back.
    if (services_.tray == nullptr || !services_.tray->IsAvailable()) {
        showMinimized();
        return;
    }
    AddTrayIcon();
    hide();
}

void frmNumer::mnuAbout_Click()
{
    HideCalendars();
    if (showAbout)
        showAbout();
}

void frmNumer::mnuExit_Click()
{
    // At once: no calendar is hidden, nothing is written.
    if (endApplication)
        endApplication();
}

// ------------------------------------------------------- notification area

void frmNumer::AddTrayIcon()
{
    TrayBusy = false;
    TrayIconData.icon = windowIcon();
    TrayIconData.tip = windowTitle();
    if (services_.tray != nullptr) {
        services_.tray->Add(TrayIconData.icon, TrayIconData.tip, ui->mnuRestore);
        // Out of the task list for good: a restore does not put it back.
        // Where the desktop has no such switch the window stays listed.
        services_.tray->SetSkipTaskbar(this, true);
    }
    hide();
}

void frmNumer::RemoveTrayIcon()
{
    if (services_.tray != nullptr)
        services_.tray->Remove();
}

void frmNumer::iconMessage(int code, const QPoint& globalPos)
{
    // Delivered as the pointer move the window would see, so that it goes
    // through the same decoding (and the same TrayBusy guard) as one.
    iconPointer_ = globalPos;
    Form_MouseMove(0, 0, code * twipsPerPixelX(), 0);
}

void frmNumer::mouseMoveEvent(QMouseEvent* event)
{
    iconPointer_ = event->globalPosition().toPoint();
    const double twips = twipsPerPixelX();
    Form_MouseMove(event->buttons().toInt(), event->modifiers().toInt(),
                   event->position().x() * twips, event->position().y() * twips);
    QMainWindow::mouseMoveEvent(event);
}

void frmNumer::Form_MouseMove([[maybe_unused]] int button, [[maybe_unused]] int shift, double X,
                              [[maybe_unused]] double Y)
{
    // Round to nearest, halves to the even neighbour (the default rounding
    // mode). A position no icon message can have decodes as no code.
    const double pixels = std::nearbyint(X / twipsPerPixelX());
    const int code = std::abs(pixels) < 1e6 ? static_cast<int>(pixels) : 0;

    if (TrayBusy)
        return;
    TrayBusy = true;
    if (code == IconMessage::LeftButtonDoubleClick) {
        show();
        // Back from the tray the window takes the keyboard, as it does after
        // "Restore"; otherwise keys would go nowhere until it is clicked.
        activateWindow();
        RemoveTrayIcon();
    } else if (code == IconMessage::RightButtonUp && services_.tray != nullptr) {
        services_.tray->SetForegroundWindow(this);
        // Returns once the chosen item's handler has run, or the menu was
        // dismissed; icon messages meanwhile find TrayBusy set.
        services_.tray->PopupMenu(ui->mnuRestore, iconPointer_);
    }
    if (isHidden())
        TrayBusy = false;
}

void frmNumer::mnuRestore1_Click()
{
    RemoveTrayIcon();
    show();
    activateWindow();
}

void frmNumer::mnuExit1_Click()
{
    // The icon goes first: nothing else would take it out of the tray.
    RemoveTrayIcon();
    if (endApplication)
        endApplication();
}

} // namespace orvantis
