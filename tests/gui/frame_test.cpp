// Where the windows open and the size they keep, offscreen on a screen
// smaller than the main window (offscreen_small.json: 640 x 400 at 100, 50).
// maximiseIsUndone runs again under weston (with_weston.sh).
#include "harness.h"

#include "look/window_frame.h"

#include <QWindow>
#include <QtTest>

using namespace orvantis;

namespace {

// Runs `check` on the main window, or on the window it opens for the user.
void withWindow(const QString& name, const std::function<void(QWidget*)>& check)
{
    test::Harness h;
    QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
    const auto exposed = [&](QWidget* modal) {
        if (QTest::qWaitForWindowExposed(modal))
            check(modal);
        modal->close();
    };
    if (name == "About")
        test::answerModal([&] { h.w->mnuAbout_Click(); }, exposed);
    else if (name == "text-size dialog")
        test::answerModal([&] { h.w->Text1_DblClick(); }, exposed);
    else
        check(h.w.get());
}

} // namespace

class FrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Within the area (100, 50) 640 x 400.
    void placedFrame_data()
    {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("over");
        QTest::addColumn<QPoint>("at");
        const QRect area(100, 50, 640, 400);
        QTest::newRow("centred over a window") << QSize(100, 50) << QRect(200, 100, 300, 200) << QPoint(299, 174);
        QTest::newRow("past the top left") << QSize(200, 100) << QRect(0, 0, 100, 100) << QPoint(100, 50);
        QTest::newRow("past the bottom right") << QSize(200, 100) << QRect(700, 400, 100, 100) << QPoint(540, 350);
        QTest::newRow("wider than the area") << QSize(700, 100) << area << QPoint(100, 199);
        QTest::newRow("larger than the area") << QSize(732, 496) << area << QPoint(100, 50);
    }
    void placedFrame()
    {
        QFETCH(QSize, frame);
        QFETCH(QRect, over);
        QFETCH(QPoint, at);
        QCOMPARE(look::placedFrame(frame, over, QRect(100, 50, 640, 400)), at);
    }

    // The main window, larger than the screen, at its corner; the others
    // centred over the main window's frame (100, 50, 736 x 479).
    void windowsOpenOnScreen_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("main window") << "main window" << QPoint(100, 50);
        QTest::newRow("About") << "About" << QPoint(311, 205);
        QTest::newRow("text-size dialog") << "text-size dialog" << QPoint(389, 261);
    }
    void windowsOpenOnScreen()
    {
        QFETCH(QString, window);
        QFETCH(QPoint, at);
        withWindow(window, [&](QWidget* w) { QCOMPARE(w->frameGeometry().topLeft(), at); });
    }

    // Maximised as the title bar Qt draws on Wayland does it: the window goes
    // back to its normal state and size, and is held at that size again.
    void maximiseIsUndone_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << "main window";
        QTest::newRow("text-size dialog") << "text-size dialog";
    }
    void maximiseIsUndone()
    {
        QFETCH(QString, window);
        withWindow(window, [](QWidget* w) {
            QWindow* handle = w->windowHandle();
            const QSize designed = w->size();
            QSignalSpy widths(handle, &QWindow::widthChanged); // there and back
            handle->setWindowStates(handle->windowStates() ^ Qt::WindowMaximized);
            for (int wait = 0; wait < 250 && (widths.size() < 2 || handle->maximumSize() != designed); ++wait)
                QTest::qWait(20);
            QCOMPARE(widths.size(), 2);
            QCOMPARE(handle->windowStates(), Qt::WindowNoState);
            QCOMPARE(handle->maximumSize(), designed);
            QCOMPARE(w->size(), designed);
        });
    }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
