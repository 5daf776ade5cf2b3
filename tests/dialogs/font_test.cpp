#include "dialogs/frmfont.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace orvantis;

namespace {

QComboBox* list(QWidget* dialog) { return dialog->findChild<QComboBox*>(QStringLiteral("Combo1")); }
QPushButton* button(QWidget* dialog) { return dialog->findChild<QPushButton*>(QStringLiteral("Command1")); }

// One user action: "pick:12" (open the list, move there, Enter), "type:14"
// (into the field), "enter", "close" (the close box), "apply" (click "...").
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
    // The report area starts at 14 pt; only a picked entry counts.
    void appliesTheLastPickedSize_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<int>("size");
        QTest::newRow("apply at once") << QStringList{"apply"} << 8;
        QTest::newRow("last pick counts") << QStringList{"pick:12", "pick:9", "apply"} << 9;
        QTest::newRow("typed an entry's start") << QStringList{"type:1", "enter"} << 8;
        QTest::newRow("picked, typed, Enter") << QStringList{"pick:12", "type:14", "enter"} << 12;
        QTest::newRow("close box") << QStringList{"pick:10", "close"} << 14;
    }
    void appliesTheLastPickedSize()
    {
        QFETCH(QStringList, actions);
        QFETCH(int, size);
        QPlainTextEdit area;
        area.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 14));
        const QString family = area.font().family();
        frmFont dialog(&area);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const QString& action : actions) {
            QVERIFY2(dialog.isVisible(), qPrintable("closed before " + action));
            act(&dialog, action);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(area.font().pointSize(), size);
        QCOMPARE(area.font().family(), family);
    }

    void buttonHasTheFocusAndTheLabelKeyLeadsThere()
    {
        frmFont dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), button(&dialog));
        list(&dialog)->setFocus();
        QTest::keyClick(&dialog, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), button(&dialog));
        QTest::qWait(300); // a button pressed by a key goes up a moment later
        QVERIFY2(dialog.isVisible(), "the access key only moves the focus");
    }

    void eachOpeningStartsAtDefault()
    {
        QWidget window;
        auto* area = new QPlainTextEdit(&window);
        window.show();
        QStringList shown;
        for (const QString entry : {"13", "9"}) {
            QTimer::singleShot(0, this, [&] {
                QWidget* dialog = QApplication::activeModalWidget();
                shown << list(dialog)->currentText();
                act(dialog, "pick:" + entry);
                act(dialog, "apply");
            });
            frmFont::showModal(area);
            QCOMPARE(area->font().pointSize(), entry.toInt());
        }
        QCOMPARE(shown, QStringList(2, QStringLiteral("8 Default")));
    }
};

QTEST_MAIN(FontTest)
#include "font_test.moc"
