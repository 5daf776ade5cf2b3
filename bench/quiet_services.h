// Platform services that stay out of the way of a benchmark: no settings,
// the instance always granted, no tray, help, links or boxes.
#pragma once

#include "platform/desktop_services.h"
#include "platform/notify_area.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

namespace orvantis::bench {

struct QuietServices {
    struct NoSettings final : SettingsStore {
        QString ReadSetting(const QString&, const QString&, const QString&) const override { return {}; }
        std::optional<SettingsWriteError> WriteSetting(const QString&, const QString&, const QString&,
                                                       const QString&) override
        {
            return std::nullopt;
        }
    };
    struct Instance final : SingleInstance {
        bool TryClaim() override { return true; }
        bool AskHolderToShow() override { return false; }
    };
    struct NoTray final : NotifyArea {
        bool IsAvailable() const override { return false; }
        void Add(const QIcon&, const QString&, QMenu*) override {}
        void Remove() override {}
        void PopupMenu(QMenu*, const QPoint&) override {}
        bool SetSkipTaskbar(QWidget*, bool) override { return false; }
        void SetForegroundWindow(QWidget*) override {}
    };
    struct NoHelp final : HelpViewer {
        void ShowContents(const QString&) override {}
    };
    struct NoUrls final : UrlOpener {
        Result Open(const QString&) override { return {}; }
    };
    struct NoBoxes final : MessageBoxes {
        void Information(QWidget*, const QString&, const QString&) override {}
        void Plain(QWidget*, const QString&, const QString&) override {}
        void Warning(QWidget*, const QString&, const QString&) override {}
        bool Confirm(QWidget*, const QString&, const QString&) override { return false; }
    };

    NoSettings settings;
    Instance instance;
    NoTray tray;
    NoHelp help;
    NoUrls urls;
    NoBoxes messages;
    SystemClock clock;

    Services services() { return {&settings, &instance, &tray, &help, &urls, &messages, &clock}; }
};

} // namespace orvantis::bench
