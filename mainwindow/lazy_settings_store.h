// A settings store that is only opened when it is first used.
//
// A second instance that is refused at start-up must not read (or create)
// the settings file; handing the window this wrapper instead of the real
// store keeps the file untouched until the window actually asks for a value.
#pragma once

#include "platform/settings_store.h"

#include <functional>
#include <memory>

namespace orvantis {

class LazySettingsStore final : public SettingsStore {
public:
    // Makes the store; never gives a null one.
    using Factory = std::function<std::unique_ptr<SettingsStore>()>;

    explicit LazySettingsStore(Factory factory) : factory_(std::move(factory)) {}

    QString ReadSetting(const QString& application, const QString& section,
                        const QString& key) const override
    {
        return store().ReadSetting(application, section, key);
    }
    std::optional<SettingsWriteError> WriteSetting(const QString& application,
                                                   const QString& section, const QString& key,
                                                   const QString& value) override
    {
        return store().WriteSetting(application, section, key, value);
    }

private:
    SettingsStore& store() const
    {
        if (!store_)
            store_ = factory_();
        return *store_;
    }

    Factory factory_;
    mutable std::unique_ptr<SettingsStore> store_;
};

} // namespace orvantis
