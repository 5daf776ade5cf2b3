// Keeping a reading: the report area's context menu, the text and PDF files
// it saves, and a save that cannot be made.
#include "harness.h"

#include "mainwindow/report_view.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace orvantis;
using test::Harness;

namespace {

ReportView& view(const Harness& h) { return *h.w->findChild<ReportView*>(); }

QStringList itemStates(QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-")
                                        : action->text() + (action->isEnabled() ? "" : " (off)"));
    return items;
}

// Saves through the context menu, choosing `path` in the file dialog;
// returns the path the dialog offered.
QString saveThroughDialog(Harness& h, const QString& path)
{
    QString offered = QStringLiteral("no file dialog, or one that asks itself");
    test::answerModal([&] { view(h).contextMenu()->actions()[3]->trigger(); },
                      [&](QWidget* modal) {
                          auto* dialog = qobject_cast<QFileDialog*>(modal);
                          // Its own question would name a link, not the file replaced.
                          if (!dialog || !dialog->testOption(QFileDialog::DontConfirmOverwrite))
                              return void(modal->close());
                          offered = dialog->selectedFiles().value(0);
                          dialog->selectFile(path);
                          QMetaObject::invokeMethod(dialog, "accept");
                      });
    return offered;
}

void calculate(Harness& h, int mode)
{
    h.get<QLineEdit>("Text3")->setText(QStringLiteral("July 04, 1976"));
    h.w->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(mode))->click();
    if (mode == 2)
        h.get<QComboBox>("Combo1")->setCurrentIndex(2); // March
    h.w->Command1_Click();
}

} // namespace

class ReadingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The menu follows the report: off before the first one, and again once
    // a calculation without a day has emptied it and said why. The text size
    // applies to the empty area too.
    void menuItems()
    {
        Harness h;
        // Shift+F10 opens it, where the report has the focus. (The Menu key
        // arrives from the X server as a context menu request of its own.)
        h.get<QPlainTextEdit>("Text1")->setFocus();
        QWidget* opened = nullptr;
        QTimer::singleShot(0, [&] {
            opened = QApplication::activePopupWidget();
            if (opened)
                opened->close();
        });
        QTest::keyClick(h.get<QPlainTextEdit>("Text1"), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(opened, view(h).contextMenu());
        const QStringList off{"&Copy (off)", "Select &All (off)", "-", "Save &Reading As... (off)",
                              "&Print... (off)", "-", "Text &Size..."};
        QCOMPARE(itemStates(view(h).contextMenu()), off);
        calculate(h, 3);
        QCOMPARE(itemStates(view(h).contextMenu()),
                 (QStringList{"&Copy", "Select &All", "-", "Save &Reading As...", "&Print...", "-", "Text &Size..."}));
        h.get<QLineEdit>("Text2")->clear();
        h.w->Command1_Click();
        QCOMPARE(itemStates(view(h).contextMenu()), off);
        QCOMPARE(h.get<QPlainTextEdit>("Text1")->toPlainText(), QString());
        QCOMPARE(h.messages.shown, QStringList{QStringLiteral("Information Orvantis: No date was chosen yet!")});
        QCOMPARE(h.messages.parents.value(0), h.w.get());

        // "Text Size..." opens the double click's dialog.
        QCOMPARE(test::answerModal([&] { view(h).contextMenu()->actions()[6]->trigger(); },
                                   [](QWidget* modal) { modal->close(); }),
                 QStringLiteral("orvantis::frmFont"));
    }

    // "Copy" copies the selection, or the whole report when nothing is
    // selected; the double click that opens the size dialog keeps the
    // selection and selects nothing of its own.
    void copiesSelectionOrAll()
    {
        Harness h;
        calculate(h, 1);
        QPlainTextEdit* area = h.get<QPlainTextEdit>("Text1");
        QMenu* menu = view(h).contextMenu();
        menu->actions()[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), area->toPlainText());
        QTextCursor cursor = area->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(16, QTextCursor::KeepAnchor);
        area->setTextCursor(cursor);
        const QPoint onAWord = area->cursorRect().center(); // on "Number:"
        // As a desktop sends a double click: press, release, then the double click.
        test::answerModal([&] { QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, onAWord);
                                QTest::mouseDClick(area->viewport(), Qt::LeftButton, {}, onAWord); },
                          [](QWidget* modal) { modal->close(); });
        menu->actions()[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Destiny Number:"));
    }

    // Saving through the menu. The file name offered says which reading it
    // is, in the home folder when there is no documents folder; the text file
    // holds the report exactly, CR LF and all, and the PDF the title and every
    // heading and paragraph as text. Replacing a file is asked about, naming
    // the file that would really be replaced; a pipe is not, and a save that
    // cannot be made says where and why.
    void saves_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("there"); // under the name chosen: nothing, target.txt, a link to it, a pipe
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("shown"); // and whether the report was saved or target.txt kept
        const QString offered1 = "Orvantis reading 1976-07-04.txt", title1 = "Orvantis reading for July 04, 1976";
        QTest::newRow("1, a new file") << 1 << offered1 << title1 << "" << true << " (saved)";
        QTest::newRow("2, over a file") << 2 << "Orvantis reading 1976-07-04 March.txt"
                                        << "Orvantis reading for July 04, 1976, month of March" << "file" << true
                                        << "Confirm Orvantis: D/target.txt already exists.\nDo you want to replace it? (saved)";
        QTest::newRow("3, over a link, kept")
            << 3 << "Orvantis reading 1976-07-04 May 17.txt" << "Orvantis reading for July 04, 1976, day of May 17"
            << "link" << false << "Confirm Orvantis: D/reading.txt is a link to D/target.txt.\n"
                                  "D/target.txt already exists.\nDo you want to replace it? (kept)";
        QTest::newRow("1, a pipe") << 1 << offered1 << title1 << "pipe" << true
                                   << "Warning Orvantis: The reading could not be saved in D/reading.txt:\n"
                                      "It is not an ordinary file. (kept)";
    }
    void saves()
    {
        QFETCH(int, mode);
        QFETCH(QString, offered);
        QFETCH(QString, title);
        QFETCH(QString, there);
        QFETCH(bool, answer);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        qputenv("HOME", QFile::encodeName(dir.path()));
        const QString target = dir.filePath("target.txt");
        const QString path = there.isEmpty() ? dir.filePath(offered) : there == "file" ? target : dir.filePath("reading.txt");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        if (there == "link")
            QVERIFY(QFile::link("target.txt", path));
        else if (there == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        Harness h;
        calculate(h, mode);
        h.messages.answer = answer;
        QCOMPARE(saveThroughDialog(h, path), dir.filePath(offered));
        const std::string report = h.w->report().Text();
        QFile saved(there.isEmpty() ? path : target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        const char* outcome = bytes == QByteArray::fromStdString(report) ? " (saved)" : bytes == "old" ? " (kept)" : " (?)";
        QCOMPARE(h.messages.shown.join('|') + outcome, shown.replace("D/", dir.path() + "/"));

        const QString pdf = dir.filePath(QStringLiteral("reading.pdf"));
        QVERIFY(view(h).save(pdf));
        QProcess pdftotext; // what a reader of the PDF can select and search, line breaks as blanks
        pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished() && pdftotext.exitCode() == 0);
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
        QVERIFY2(text.startsWith(title), qPrintable(text.left(80)));
        for (const QString& line : QString::fromStdString(report).split(QStringLiteral("\r\n")))
            QVERIFY2(text.contains(line.simplified()), qPrintable(text));
    }
};

QTEST_MAIN(ReadingTest)
#include "reading_test.moc"
