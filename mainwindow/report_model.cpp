#include "mainwindow/report_model.h"

namespace orvantis {

void ReportModel::SetText(std::string text)
{
    area_.SetText(std::move(text));
    if (held_ > 0)
        changedWhileHeld_ = true;
    else if (listener_)
        listener_(Reading().text);
}

ReportModel::Batch::~Batch()
{
    if (--model_.held_ > 0 || !model_.changedWhileHeld_)
        return;
    model_.changedWhileHeld_ = false;
    if (model_.listener_)
        model_.listener_(model_.Reading().text);
}

QString ReportModel::ForDisplay(const std::string& text)
{
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace orvantis
