// Stand-ins for the desktop: they record what the windows ask of them.
#pragma once

#include "platform/desktop_services.h"

#include <QGuiApplication>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace orvantis::testing {

// The override pointer shape at this moment, or nothing when none is set.
inline std::optional<Qt::CursorShape> pointerNow()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr ? std::optional(cursor->shape()) : std::nullopt;
}

class FakeUrlOpener final : public UrlOpener {
public:
    Result Open(const QString& url) override
    {
        opened << url;
        pointerWhileOpening = pointerNow();
        if (!throwWith.isEmpty())
            throw std::runtime_error(throwWith.toStdString());
        return result;
    }
    Result result;
    QString throwWith; // when set, Open throws this instead of returning
    QStringList opened;
    std::optional<Qt::CursorShape> pointerWhileOpening;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    void Information(QWidget*, const QString& title, const QString& text) override
    {
        shown << "information|" + title + "|" + text;
    }
    void Plain(QWidget*, const QString& title, const QString& text) override { shown << "plain|" + title + "|" + text; }
    void Warning(QWidget*, const QString& title, const QString& text) override { shown << "warning|" + title + "|" + text; }
    QStringList shown;
};

} // namespace orvantis::testing
