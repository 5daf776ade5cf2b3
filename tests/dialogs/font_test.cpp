#include "../service_doubles.h"
#include "dialogs/frmfont.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

using namespace orvantis;

namespace {

QComboBox* list(QWidget* dialog) { return dialog->findChild<QComboBox*>(QStringLiteral("Combo1")); }
QPushButton* button(QWidget* dialog) { return dialog->findChild<QPushButton*>(QStringLiteral("Command1")); }

// One user action: "pick:12" (open the list, move there, Enter), "type:14"
// (into the field), "enter", "alt-t" (the label's access key, which only
// moves the focus), "close" (the close box), "apply" (click "...").
void act(QWidget* dialog, const QString& action)
{
    const QString argument = action.section(':', 1);
    if (action.startsWith("pick")) {
        list(dialog)->showPopup();
        QAbstractItemView* view = list(dialog)->view();
        view->setCurrentIndex(view->model()->index(list(dialog)->findText(argument), 0));
        QTest::keyClick(view, Qt::Key_Return);
    } else if (action.startsWith("type")) {
        list(dialog)->setFocus();
        list(dialog)->lineEdit()->selectAll();
        QTest::keyClicks(list(dialog), argument);
    } else if (action == "enter") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (action == "alt-t") {
        QTest::keyClick(dialog, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), button(dialog));
        QTest::qWait(300); // a button pressed by a key goes up a moment later
    } else if (action == "close") {
        dialog->close();
    } else {
        QTest::mouseClick(button(dialog), Qt::LeftButton);
    }
}

} // namespace

class FontTest : public QObject {
    Q_OBJECT

private slots:
    // Openings of the dialog over a report area at 14 pt, each a series of
    // actions: only a picked entry counts, and every opening starts afresh
    // with the focus on the button and "8 Default" in the box. The stand-in
    // face is wider than the original; the box keeps its design width (1005
    // twips) and that entry still shows whole.
    void appliesTheLastPickedSize_data()
    {
        QTest::addColumn<QStringList>("openings");
        QTest::addColumn<int>("size");
        QTest::newRow("last pick counts") << QStringList{"pick:12 pick:9 apply"} << 9;
        QTest::newRow("typed an entry's start") << QStringList{"type:1 enter"} << 8;
        QTest::newRow("picked, typed, Enter") << QStringList{"pick:12 type:14 enter"} << 12;
        QTest::newRow("close box") << QStringList{"pick:10 close"} << 14;
        QTest::newRow("typed an entry, label key") << QStringList{"type:9 alt-t apply"} << 8;
        QTest::newRow("nothing remembered") << QStringList{"pick:13 apply", "apply"} << 8;
    }
    void appliesTheLastPickedSize()
    {
        QFETCH(QStringList, openings);
        QFETCH(int, size);
        QWidget window;
        auto* area = new QPlainTextEdit(&window);
        area->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 14));
        window.show();
        for (const QString& opening : openings) {
            test::answerModal([&] { frmFont::showModal(area); }, [&](QWidget* dialog) {
                const auto close = qScopeGuard([dialog] { dialog->close(); }); // after a failed check too
                QVERIFY(QTest::qWaitForWindowActive(dialog));
                QCOMPARE(QApplication::focusWidget(), button(dialog));
                QLineEdit* field = list(dialog)->lineEdit();
                QCOMPARE(list(dialog)->width(), 67);
                QCOMPARE(field->text(), "8 Default");
                // A line edit keeps 2 px free on either side of its text.
                QVERIFY(QFontMetrics(field->font()).horizontalAdvance(field->text())
                        <= field->contentsRect().width() - 4);
                for (const QString& action : opening.split(' ')) {
                    QVERIFY2(dialog->isVisible(), qPrintable("closed before " + action));
                    act(dialog, action);
                }
            });
        }
        QCOMPARE(area->font().pointSize(), size);
        QCOMPARE(area->font().family(), "DejaVu Sans Mono");
    }
};

QTEST_MAIN(FontTest)
#include "font_test.moc"
