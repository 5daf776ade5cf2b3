#include "platform/message_boxes.h"

#include <QMessageBox>

namespace orvantis {

namespace {

int showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons.testFlag(QMessageBox::No))
        box.setDefaultButton(QMessageBox::No);
    return box.exec();
}

} // namespace

void WidgetMessageBoxes::Information(QWidget* parent, const QString& title, const QString& text)
{
    showBox(parent, QMessageBox::Information, title, text);
}

void WidgetMessageBoxes::Plain(QWidget* parent, const QString& title, const QString& text)
{
    showBox(parent, QMessageBox::NoIcon, title, text);
}

void WidgetMessageBoxes::Warning(QWidget* parent, const QString& title, const QString& text)
{
    showBox(parent, QMessageBox::Warning, title, text);
}

bool WidgetMessageBoxes::Confirm(QWidget* parent, const QString& title, const QString& text)
{
    return showBox(parent, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

} // namespace orvantis
