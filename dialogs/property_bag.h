// The named-value store a host window keeps with its layout for an embedded
// control. The host owns the store; the control only reads and writes names.
#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace orvantis {

class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value of `name`, or `defaultValue` when the store has none.
    virtual QVariant read(const QString& name, const QVariant& defaultValue) const = 0;
    // Stores `value` under `name`. A value equal to its default is not kept,
    // so a layout that leaves everything at its defaults holds no entries.
    virtual void write(const QString& name, const QVariant& value, const QVariant& defaultValue) = 0;
};

// A store in memory: what a window uses for a layout that comes with the
// program rather than from a file.
class MemoryPropertyBag final : public PropertyBag {
public:
    QVariant read(const QString& name, const QVariant& defaultValue) const override
    {
        return values_.value(name, defaultValue);
    }
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue) override
    {
        // An earlier non-default entry must go too, or a later read would
        // bring back the old value.
        if (value == defaultValue)
            values_.remove(name);
        else
            values_.insert(name, value);
    }
private:
    QMap<QString, QVariant> values_;
};

} // namespace orvantis
