// Recording doubles for the platform services, and a main window wired to
// them with the clock fixed at 2024-05-17.
#pragma once

#include "mainwindow/frmNumer.h"
#include "platform/desktop_services.h"
#include "platform/notify_area.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

#include <QCalendarWidget>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace orvantis::test {

// Logs "R Section/Key" and "W Section/Key=value" with the exact spellings.
class RecordingSettingsStore final : public SettingsStore {
public:
    QString ReadSetting(const QString& app, const QString& section, const QString& key) const override
    {
        log << QStringLiteral("R %1/%2").arg(section, key);
        return app == QLatin1String("Orvantis") ? values.ReadSetting(app, section, key) : QString();
    }
    void WriteSetting(const QString& app, const QString& section, const QString& key,
                      const QString& value) override
    {
        log << QStringLiteral("W %1/%2=%3").arg(section, key, value);
        values.WriteSetting(app, section, key, value);
    }
    MemorySettingsStore values;
    mutable QStringList log;
};

class FakeInstance final : public SingleInstance {
public:
    bool TryClaim() override { return grant; }
    bool grant = true;
};

class FakeHelp final : public HelpViewer {
public:
    void ShowContents(const QString& path) override { paths << path; }
    QStringList paths;
};

class FakeMessages final : public MessageBoxes {
public:
    void Information(QWidget* parent, const QString& title, const QString& text) override
    {
        parents << parent;
        shown << title + QStringLiteral(": ") + text;
    }
    void Plain(QWidget* parent, const QString& title, const QString& text) override
    {
        Information(parent, title, text);
    }
    QList<QWidget*> parents;
    QStringList shown;
};

// Logs "Add <tip>", "Remove <shown|hidden>" (the window's state at that
// moment), "Skip <on|off>", "Foreground", "Popup" into a log shared with the
// window's hooks, so that a test sees the order of everything.
class FakeNotifyArea final : public NotifyArea {
public:
    explicit FakeNotifyArea(QStringList& sharedLog) : log(sharedLog) {}
    bool IsAvailable() const override { return available; }
    void Add(const QIcon& icon, const QString& tip, QMenu*) override
    {
        log << QStringLiteral("Add ") + tip;
        icons << icon;
        present = true;
    }
    void Remove() override
    {
        log << (window->isVisible() ? QStringLiteral("Remove shown") : QStringLiteral("Remove hidden"));
        present = false;
    }
    bool IsPresent() const override { return present; }
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
        log << (skip ? QStringLiteral("Skip on") : QStringLiteral("Skip off"));
        return true;
    }
    void SetForegroundWindow(QWidget*) override { log << QStringLiteral("Foreground"); }

    QStringList& log;
    QWidget* window = nullptr;
    bool available = true;
    bool present = false;
    QList<QIcon> icons;
    QPoint popupAt;
    std::function<void(QMenu*)> whilePopup;
};

enum class Tray { Present, Unavailable, NoService };

// The About and text-size commands and the program's end are logged as
// "About", "TextSize", "End"; the real dialogs run only with realDialogs.
struct Harness {
    QStringList log;
    FakeNotifyArea tray{log};
    RecordingSettingsStore store;
    FakeInstance instance;
    FakeHelp help;
    FakeMessages messages;
    std::unique_ptr<frmNumer> w;
    bool realDialogs = false;

    explicit Harness(bool start = true, Tray kind = Tray::Present)
    {
        tray.available = kind == Tray::Present;
        Services s;
        s.settings = &store;
        s.instance = &instance;
        s.help = &help;
        s.messages = &messages;
        s.tray = kind == Tray::NoService ? nullptr : &tray;
        w = std::make_unique<frmNumer>(s);
        tray.window = w.get();
        w->today = [] { return QDate(2024, 5, 17); };
        w->endApplication = [this] { log << QStringLiteral("End"); };
        const auto hook = [this](const char* name, std::function<void()> real) {
            return [this, name, real] {
                log << QString::fromLatin1(name);
                if (realDialogs)
                    real();
            };
        };
        w->showAbout = hook("About", w->showAbout);
        w->showTextSize = hook("TextSize", w->showTextSize);
        if (start) {
            if (!w->Form_Load())
                qFatal("load refused");
            w->show();
        }
    }
    template <class T = QWidget> T* get(const QString& name) const
    {
        T* child = w->findChild<T*>(name);
        if (!child)
            qFatal("no child %s", qPrintable(name));
        return child;
    }
    QCalendarWidget* calendar(int n) const { return get<QCalendarWidget>(QStringLiteral("MonthView%1").arg(n)); }
    void openCalendars() const { calendar(1)->show(); calendar(2)->show(); }
    bool calendarShown() const { return calendar(1)->isVisibleTo(w.get()) || calendar(2)->isVisibleTo(w.get()); }
};

} // namespace orvantis::test
