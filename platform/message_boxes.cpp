#include "platform/message_boxes.h"

#include <QMessageBox>

namespace orvantis {

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
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

} // namespace orvantis
