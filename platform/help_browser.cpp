#include "platform/help_browser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

namespace orvantis {

namespace {

// Why the file cannot be shown, or "" when it can.
QString problemWith(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (info.isDir())
        return QStringLiteral("It is a folder, not a file.");
    if (!info.isFile()) // a pipe or device could block the read
        return QStringLiteral("It is not an ordinary file.");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        file.read(1); // a read error shows here, not only in an empty window
    if (file.error() != QFileDevice::NoError)
        return file.errorString() + QLatin1Char('.');
    return {};
}

} // namespace

QString helpFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Orvantis.hlp");
}

HelpBrowser::HelpBrowser() = default;
HelpBrowser::~HelpBrowser() = default;

void HelpBrowser::ShowContents(const QString& path)
{
    if (!browser_) {
        browser_ = std::make_unique<QTextBrowser>(); // no parent: a window of its own, not modal
        browser_->setWindowTitle(QStringLiteral("Orvantis Help"));
        browser_->resize(640, 560);
        browser_->setOpenLinks(true);
        browser_->setOpenExternalLinks(true); // through QDesktopServices
    }

    const QString problem = problemWith(path);
    if (problem.isEmpty()) {
        const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        if (browser_->source() == url)
            browser_->reload(); // also picks up a changed file
        else
            browser_->setSource(url, QTextDocument::HtmlResource);
        browser_->clearHistory();
    } else {
        browser_->setPlainText(QStringLiteral("The help file could not be opened: %1\n\n%2")
                                   .arg(QDir::toNativeSeparators(path), problem));
    }
    browser_->verticalScrollBar()->setValue(0);

    if (browser_->isMinimized())
        browser_->showNormal();
    else
        browser_->show();
    browser_->raise();
    browser_->activateWindow();
}

} // namespace orvantis
