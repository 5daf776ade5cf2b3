// Test doubles for the platform services the main window uses. Each records
// what it was asked, in a form a test can compare in one line.
#pragma once

#include "platform/desktop_services.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

#include <QStringList>

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

} // namespace orvantis::test
