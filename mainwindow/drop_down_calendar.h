// A month calendar that drops down below its date box, as the birth-date
// and the target-day boxes of the main window use it.
//
// The calendar keeps its selected date itself until it is first shown and
// builds its widget only then, one of the start-up steps listed in main.cpp.
// Built later, it looks exactly as if it had been built with the window: the
// box's font, the window's palette, above the controls it covers, and after
// its box in the tab order.
//
// It also routes the box's events: a left click on the enabled box, or a key
// that drops a list down (Space, Enter, F4, Alt+Down), asks for the calendar
// (boxClicked); Escape in the open calendar closes it and gives the box the
// focus; a day picked with the mouse or with Enter is reported (dateClicked).
// Keys only move the open calendar: a typed date is ignored, never read.
#pragma once

#include <QDate>
#include <QObject>
#include <QRect>
#include <QString>

class QCalendarWidget;
class QLineEdit;
class QWidget;

namespace orvantis {

class DropDownCalendar final : public QObject {
    Q_OBJECT

public:
    struct Design {
        QString objectName;      // "MonthView1"
        QString accessibleName;  // what a screen reader calls it
        QRect geometry;          // in the box's parent
    };

    DropDownCalendar(QLineEdit* box, Design design);
    ~DropDownCalendar() override;

    QDate selectedDate() const;
    void setSelectedDate(QDate date);
    void show();
    void hide();

Q_SIGNALS:
    // The box asks for the calendar: a left click, or a drop-down key (the
    // calendar takes the focus once it is shown).
    void boxClicked();
    // A day was picked; selectedDate() is that day.
    void dateClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void picked(bool byMouse);

    QLineEdit* box_;
    Design design_;
    QDate selected_;
    QCalendarWidget* calendar_ = nullptr; // a child of the box's parent, made by build()
    bool focusOnShow_ = false;
    // After a day was clicked the calendar closes under the pointer: the
    // second click of a double click on that day must not reach what lay
    // under it (the report, the calculate button).
    class SecondClickGuard;
    SecondClickGuard* guard_;
};

} // namespace orvantis
