// Small desktop services the windows use, each replaceable in tests.
#pragma once

#include <QDate>
#include <QString>

class QWidget;

namespace orvantis {

// The calendar behind "today", "the current month" and "the current year".
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

// Opens the help file at its contents page. Reporting a missing or
// unreadable file is the viewer's job, not the caller's.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void ShowContents(const QString& helpFilePath) = 0;
};

// Hands a URL (or document) to the desktop's default handler, as exactly the
// text given, never through a shell.
class UrlOpener {
public:
    struct Result {
        bool issued = true;      // false: the request could not even be made
        QString description;     // why not, when !issued
        int errorNumber = 0;
    };
    virtual ~UrlOpener() = default;
    virtual Result Open(const QString& url) = 0;
};

// Modal message boxes: one OK button, or Yes and No for a question.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
    // No icon, just OK (used for the link's error message).
    virtual void Plain(QWidget* parent, const QString& title, const QString& text) = 0;
    // Something the user asked for did not happen.
    virtual void Warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // Asks before something is lost (Yes and No, No the default); true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
};

} // namespace orvantis
