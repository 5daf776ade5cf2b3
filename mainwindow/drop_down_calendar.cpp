#include "mainwindow/drop_down_calendar.h"

#include "mainwindow/date_texts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>

#include <algorithm>

namespace orvantis {

namespace {

const QDate kFirstDate = datetext::fromReading(reading::kFirstDate);
const QDate kLastDate = datetext::fromReading(reading::kLastDate);

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

} // namespace

// Swallows mouse presses inside the area a calendar covered, for one
// double-click interval after a day in it was clicked.
class DropDownCalendar::SecondClickGuard final : public QObject {
public:
    using QObject::QObject;

    void arm(const QRect& area)
    {
        area_ = area;
        since_.start();
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        if (since_.elapsed() >= QApplication::doubleClickInterval()) {
            qApp->removeEventFilter(this);
            return false;
        }
        return area_.contains(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    }

private:
    QRect area_;
    QElapsedTimer since_;
};

DropDownCalendar::DropDownCalendar(QLineEdit* box, Design design)
    : QObject(box), box_(box), design_(std::move(design)), guard_(new SecondClickGuard(this))
{
    box_->installEventFilter(this);
}

DropDownCalendar::~DropDownCalendar() = default;

QDate DropDownCalendar::selectedDate() const
{
    return calendar_ ? calendar_->selectedDate() : selected_;
}

void DropDownCalendar::setSelectedDate(QDate date)
{
    // As the calendar widget does: a date outside the range is moved into it.
    selected_ = std::clamp(date, kFirstDate, kLastDate);
    if (calendar_)
        calendar_->setSelectedDate(selected_);
}

void DropDownCalendar::show()
{
    if (!calendar_)
        build();
    calendar_->show();
    if (focusOnShow_)
        calendar_->setFocus(Qt::PopupFocusReason);
}

void DropDownCalendar::hide()
{
    if (calendar_)
        calendar_->hide();
}

void DropDownCalendar::build()
{
    // Made without a parent first: the calendar takes the bold face of its
    // month and year buttons from the application's font when it is made,
    // as it did when the window's layout built it, before the window had
    // fonts of its own.
    auto* calendar = new QCalendarWidget;
    calendar->setParent(box_->parentWidget());
    calendar->setObjectName(design_.objectName);
    calendar->setAccessibleName(design_.accessibleName);
    calendar->setGeometry(design_.geometry);
    calendar->setFont(box_->font());
    calendar->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    calendar->setGridVisible(false);
    calendar->setDateRange(kFirstDate, kLastDate);
    // Keys only move the calendar. Its own date editor, opened by a typed
    // digit, reads what it gets in its short format and makes some other
    // date of anything else ("070476" became January 01, 1753).
    calendar->setDateEditEnabled(false);
    calendar->setSelectedDate(selected_);
    calendar->hide();
    calendar->raise(); // drops down over the controls below the box
    QWidget::setTabOrder(box_, calendar);
    calendar->installEventFilter(this);
    connect(calendar, &QCalendarWidget::clicked, this, [this] { picked(true); });
    connect(calendar, &QCalendarWidget::activated, this, [this] { picked(false); });
    calendar_ = calendar;
}

void DropDownCalendar::picked(bool byMouse)
{
    selected_ = calendar_->selectedDate();
    if (byMouse)
        guard_->arm(QRect(calendar_->mapToGlobal(QPoint(0, 0)), calendar_->size()));
    Q_EMIT dateClicked();
    if (!byMouse)
        box_->setFocus();
}

bool DropDownCalendar::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == box_ && type == QEvent::MouseButtonPress) {
        // A disabled box takes no clicks.
        if (box_->isEnabled() && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Q_EMIT boxClicked();
    } else if (watched == box_ && type == QEvent::KeyPress) {
        if (opensCalendar(*static_cast<QKeyEvent*>(event))) {
            focusOnShow_ = true;
            Q_EMIT boxClicked();
            focusOnShow_ = false;
            return true;
        }
    } else if (watched == calendar_ && type == QEvent::KeyPress
               && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        calendar_->hide();
        box_->setFocus();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orvantis
