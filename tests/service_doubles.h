// Recording stand-ins for the desktop services a window asks for, and a way
// to answer the modal window it opens; shared by the window and dialog tests.
#pragma once

#include "platform/desktop_services.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace orvantis::test {

// Records every URL handed over; `opening`, when set, runs meanwhile (and
// may throw, as a desktop's opener can), then `result` is the answer.
struct FakeUrls final : UrlOpener {
    Result Open(const QString& url) override
    {
        opened << url;
        if (opening)
            opening();
        return result;
    }
    QStringList opened;
    Result result;
    std::function<void()> opening;
};

// Every box as "<kind> <title>: <text>", with the window it was shown over;
// every question is answered with `answer`.
struct FakeMessages final : MessageBoxes {
    void Information(QWidget* p, const QString& title, const QString& text) override { add("Information", p, title, text); }
    void Plain(QWidget* p, const QString& title, const QString& text) override { add("Plain", p, title, text); }
    void Warning(QWidget* p, const QString& title, const QString& text) override { add("Warning", p, title, text); }
    bool Confirm(QWidget* p, const QString& title, const QString& text) override
    {
        add("Confirm", p, title, text);
        return answer;
    }
    void add(const char* kind, QWidget* parent, const QString& title, const QString& text)
    {
        parents << parent;
        shown << QString::fromLatin1(kind) + QLatin1Char(' ') + title + QStringLiteral(": ") + text;
    }
    QList<QWidget*> parents;
    QStringList shown;
    bool answer = true; // to every Confirm
};

// Runs `open`, which brings up a modal window; `answer` gets that window and
// closes it. Returns the modal window's class name, or "none".
inline QString answerModal(const std::function<void()>& open,
                           const std::function<void(QWidget*)>& answer)
{
    QString seen = QStringLiteral("none");
    // Tied to this call: when nothing modal opened, the shot must not fire
    // later, into the next call's modal window, after `seen` is gone.
    QObject call;
    QTimer::singleShot(0, &call, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = QString::fromLatin1(modal->metaObject()->className());
            answer(modal);
        }
    });
    open();
    return seen;
}

} // namespace orvantis::test
