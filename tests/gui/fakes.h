// Test doubles for the platform services the main window uses. Each records
// what it was asked, in a form a test can compare in one line.
#pragma once

#include "platform/desktop_services.h"
#include "platform/notify_area.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

#include <QStringList>
#include <QWidget>

#include <functional>

namespace orvantis::test {

// Logs "R Section/Key" and "W Section/Key=value" with the exact spellings.
class RecordingSettingsStore final : public SettingsStore {
public:
    QString ReadSetting(const QString& app, const QString& section,
                        const QString& key) const override
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
    void put(const char* key, const QString& value)
    {
        values.WriteSetting(QStringLiteral("Orvantis"), QStringLiteral("StartUp"),
                            QString::fromLatin1(key), value);
    }
    MemorySettingsStore values;
    mutable QStringList log;
};

class FakeInstance final : public SingleInstance {
public:
    bool TryClaim() override { ++claims; return grant; }
    bool grant = true;
    int claims = 0;
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
// moment), "Skip <on|off>", "Foreground", "Popup" into `log`, which a test
// may share with its own hooks to see the order of everything.
class FakeNotifyArea final : public NotifyArea {
public:
    explicit FakeNotifyArea(QStringList& sharedLog) : log(sharedLog) {}

    bool IsAvailable() const override { return available; }
    void Add(const QIcon& icon, const QString& tip) override
    {
        log << QStringLiteral("Add ") + tip;
        icons << icon;
        present = true;
    }
    void Remove() override
    {
        const bool shown = window != nullptr && window->isVisible();
        log << (shown ? QStringLiteral("Remove shown") : QStringLiteral("Remove hidden"));
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

} // namespace orvantis::test
