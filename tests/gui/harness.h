// Recording doubles for the platform services, and a main window wired to
// them with the clock fixed at 2024-05-17.
#pragma once

#include "../service_doubles.h"
#include "mainwindow/frmNumer.h"
#include "platform/notify_area.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

#include <QCalendarWidget>
#include <QHash>
#include <QSignalSpy>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace orvantis::test {

// Keeps values in memory, names matched without regard to case, and logs
// "R Section/Key" and "W Section/Key=value" with the exact spellings;
// `failWrites` makes every write fail as a read-only folder would.
class RecordingSettingsStore final : public SettingsStore {
public:
    QString ReadSetting(const QString&, const QString& section, const QString& key) const override
    {
        log << QStringLiteral("R %1/%2").arg(section, key);
        return values.value((section + QLatin1Char('/') + key).toCaseFolded());
    }
    std::optional<SettingsWriteError> WriteSetting(const QString&, const QString& section,
                                                   const QString& key, const QString& value) override
    {
        log << QStringLiteral("W %1/%2=%3").arg(section, key, value);
        if (failWrites)
            return SettingsWriteError{QStringLiteral("/ro/orvantis.ini"), QStringLiteral("Permission denied")};
        values.insert((section + QLatin1Char('/') + key).toCaseFolded(), value);
        return std::nullopt;
    }
    QHash<QString, QString> values;
    mutable QStringList log;
    bool failWrites = false;
};

struct FakeInstance final : SingleInstance {
    bool TryClaim() override { return grant; }
    bool AskHolderToShow() override { return ++asked > 0; }
    bool grant = true;
    int asked = 0;
};

struct FakeHelp final : HelpViewer {
    void ShowContents(const QString& path) override { paths << path; }
    QStringList paths;
};

struct FixedClock final : Clock {
    QDate today() const override { return {2024, 5, 17}; }
};

// Logs "Add <tip>", "Remove <shown|hidden>" (the window's state at that
// moment), "Skip on", "Foreground", "Popup" in the order they happen.
class FakeNotifyArea final : public NotifyArea {
public:
    bool IsAvailable() const override { return available; }
    void Add(const QIcon& icon, const QString& tip, QMenu*) override
    {
        log << "Add " + tip;
        lastIcon = icon;
    }
    void Remove() override { log << (window->isVisible() ? "Remove shown" : "Remove hidden"); }
    // Stands for the open menu: `whilePopup` may choose an item (its handler
    // runs before this returns, as with a real menu) or do nothing (dismissed).
    void PopupMenu(QMenu* menu, const QPoint& globalPos) override
    {
        log << QStringLiteral("Popup");
        popupAt = globalPos;
        if (whilePopup)
            whilePopup(menu);
    }
    bool SetSkipTaskbar(QWidget*, bool skip) override
    {
        log << (skip ? "Skip on" : "Skip off");
        return true;
    }
    void SetForegroundWindow(QWidget*) override { log << QStringLiteral("Foreground"); }

    QStringList log;
    QWidget* window = nullptr;
    bool available = true;
    QIcon lastIcon;
    QPoint popupAt;
    std::function<void(QMenu*)> whilePopup;
};

struct Harness {
    RecordingSettingsStore store;
    FakeInstance instance;
    FakeNotifyArea tray;
    FakeHelp help;
    FakeUrls urls;
    FakeMessages messages;
    FixedClock clock;
    std::unique_ptr<frmNumer> w =
        std::make_unique<frmNumer>(Services{&store, &instance, &tray, &help, &urls, &messages, &clock});
    QSignalSpy ends{w.get(), &frmNumer::applicationEndRequested};

    // Loaded and shown unless `load` is false.
    explicit Harness(bool load = true)
    {
        tray.window = w.get();
        if (load) {
            if (!w->Form_Load())
                qFatal("load refused");
            w->show();
        }
    }
    template <class T = QWidget> T* get(const char* name) const
    {
        T* child = w->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    // MonthView1, the birth-date calendar, or MonthView2, the day calendar,
    // once it has first dropped down; null before.
    QCalendarWidget* calendarWidget(int n) const
    {
        return w->findChild<QCalendarWidget*>(QStringLiteral("MonthView%1").arg(n));
    }
    bool calendarShown(int n) const { return calendarWidget(n) && calendarWidget(n)->isVisibleTo(w.get()); }
    bool calendarShown() const { return calendarShown(1) || calendarShown(2); }
    void openCalendars() const
    {
        w->Text3_Click();
        w->Text2_Click();
    }
};

} // namespace orvantis::test
