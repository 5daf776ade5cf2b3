// Message boxes with one OK button, or Yes and No, as QMessageBox.
#pragma once

#include "platform/desktop_services.h"

namespace orvantis {

// Texts are shown as plain text: a URL or file name in a message is never
// taken for markup.
class WidgetMessageBoxes final : public MessageBoxes {
public:
    void Information(QWidget* parent, const QString& title, const QString& text) override;
    void Plain(QWidget* parent, const QString& title, const QString& text) override;
    void Warning(QWidget* parent, const QString& title, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace orvantis
