// A window with one hyperlink label whose URL is the first argument, wired to
// the real desktop opener and message boxes. The end-to-end suite clicks the
// link to see exactly what reaches the desktop's opener for an address the
// About window never holds (blanks, quotes, shell characters, non-ASCII).
//
//   e2e_url_probe URL
#include "dialogs/urllink.h"
#include "platform/desktop_url_opener.h"
#include "platform/message_boxes.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: e2e_url_probe URL\n", stderr);
        return 2;
    }
    orvantis::DesktopUrlOpener opener;
    orvantis::WidgetMessageBoxes messages;

    QWidget window;
    window.setWindowTitle(QStringLiteral("URL probe"));
    window.resize(360, 120);
    auto* link = new orvantis::URLLink(&window);
    link->setDesktop(&opener, &messages);
    link->move(20, 20);
    link->setText(QStringLiteral("Open the test address"));
    link->setURL(QString::fromLocal8Bit(argv[1]));
    window.show();
    return QApplication::exec();
}
