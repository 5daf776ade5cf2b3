#include "platform/desktop_url_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace orvantis {

UrlOpener::Result DesktopUrlOpener::Open(const QString& text)
{
    QUrl url(text, QUrl::TolerantMode);
    if (url.isValid() && url.isRelative() && !text.isEmpty() && QFileInfo::exists(text))
        url = QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    if (text.trimmed().isEmpty() || !url.isValid() || url.isRelative())
        return {false, QStringLiteral("This is not a valid address"), kInvalidAddress};
    if (!QDesktopServices::openUrl(url))
        return {false, QStringLiteral("No program is set up to open this address"), kNoProgram};
    return {};
}

} // namespace orvantis
