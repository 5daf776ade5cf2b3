// A program for the X11 tray test: a window and a QtNotifyArea driven by
// commands on stdin, one a line, answering on stdout:
//   available      -> "available 1|0"
//   add            -> "added xembed|sni"        (a red square, tip "Tray Probe")
//   remove         -> "removed"
//   window         -> "window <decimal X id>"
//   skip 1|0       -> "skip ok|refused"    (SetSkipTaskbar's result)
//   hide / show    -> "hidden" / "shown"
// Icon messages print "message <code>". Like the main window, 515 removes the
// icon, and 517 brings the window forward and opens a menu ("menu shown"),
// then prints "chose <item>" from the item's handler and "menu closed" when
// the menu has returned.
#include "platform/qt_notify_area.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QByteArray& line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tray Probe"));
    window.resize(240, 120);
    window.show();

    orvantis::QtNotifyArea tray;
    QMenu menu;
    for (const char* item : {"Restore", "Exit"})
        QObject::connect(menu.addAction(QString::fromLatin1(item)), &QAction::triggered, &tray,
                         [item] { say(QByteArray("chose ") + item); });
    QObject::connect(&menu, &QMenu::aboutToShow, &tray, [] { say("menu shown"); });

    QObject::connect(&tray, &orvantis::NotifyArea::iconMessage, &tray, [&](int code, const QPoint& at) {
        say("message " + QByteArray::number(code));
        if (code == orvantis::IconMessage::LeftButtonDoubleClick) {
            tray.Remove();
        } else if (code == orvantis::IconMessage::RightButtonUp) {
            tray.SetForegroundWindow(&window);
            tray.PopupMenu(&menu, at);
            say("menu closed");
        }
    });

    QByteArray pending;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(0, buffer, sizeof buffer);
        if (got <= 0) {
            QApplication::quit();
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            const QByteArray command = pending.left(end).trimmed();
            if (command == "available") {
                say("available " + QByteArray(tray.IsAvailable() ? "1" : "0"));
            } else if (command == "add") {
                QPixmap square(22, 22);
                square.fill(Qt::red);
                tray.Add(QIcon(square), QStringLiteral("Tray Probe"), &menu);
                say(tray.trayKind() == orvantis::TrayKind::XEmbed ? "added xembed" : "added sni");
            } else if (command == "remove") {
                tray.Remove();
                say("removed");
            } else if (command == "window") {
                say("window " + QByteArray::number(window.winId()));
            } else if (command.startsWith("skip ")) {
                const bool done = tray.SetSkipTaskbar(&window, command.endsWith('1'));
                say(done ? "skip ok" : "skip refused");
            } else if (command == "hide") {
                window.hide();
                say("hidden");
            } else if (command == "show") {
                window.show();
                say("shown");
            } else {
                say("unknown " + command);
            }
        }
    });
    return app.exec();
}
