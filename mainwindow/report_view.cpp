#include "mainwindow/report_view.h"

#include "look/look.h"
#include "mainwindow/logging.h"
#include "mainwindow/report_model.h"
#include "platform/desktop_services.h"
#include "platform/whole_file.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibrary>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTextDocument>

namespace orvantis {

namespace {

const QString kTextFilter = QStringLiteral("Plain text (*.txt)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

bool isPdf(const QString& path) { return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive); }

} // namespace

ReportView::ReportView(QPlainTextEdit* area, const ReportModel& report, MessageBoxes& messages)
    : QObject(area), area_(area), viewport_(area->viewport()), report_(report), messages_(messages)
{
    viewport_->installEventFilter(this);
    area_->installEventFilter(this);
    area_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(area_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        contextMenu()->exec(area_->viewport()->mapToGlobal(at));
    });
}

bool ReportView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == viewport_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (type == QEvent::MouseButtonPress) {
            beforeClick_ = area_->textCursor();
            Q_EMIT clicked();
            return false;
        }
        // A double click arrives in place of the second press, after the
        // first one has moved the caret: put back the caret and selection
        // from before it, and keep the word under the pointer unselected, so
        // that "Copy" afterwards copies what the user chose, or everything.
        if (!beforeClick_.isNull())
            area_->setTextCursor(beforeClick_);
        Q_EMIT doubleClicked();
        return true;
    }
    // Shift+F10 opens the menu as the Menu key does, where the caret is.
    if (watched == area_ && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            Q_EMIT area_->customContextMenuRequested(area_->cursorRect().bottomLeft());
            return true;
        }
    }
    return false;
}

bool ReportView::empty() const { return report_.Text().empty(); }

QMenu* ReportView::contextMenu()
{
    if (!menu_) {
        menu_ = new QMenu(area_);
        menu_->addAction(QStringLiteral("&Copy"), this, &ReportView::copy);
        menu_->addAction(QStringLiteral("Select &All"), area_, &QPlainTextEdit::selectAll);
        menu_->addSeparator();
        menu_->addAction(QStringLiteral("Save &Reading As..."), this, &ReportView::saveAs);
        menu_->addAction(QStringLiteral("&Print..."), this, &ReportView::print);
        menu_->addSeparator();
        // The size dialog the double click opens, for the keyboard.
        textSize_ = menu_->addAction(QStringLiteral("Text &Size..."), this, &ReportView::doubleClicked);
    }
    // Nothing to copy, save or print before the first report; the text size
    // applies to the empty area too.
    for (QAction* item : menu_->actions())
        item->setEnabled(item->isSeparator() || item == textSize_ || !empty());
    return menu_;
}

void ReportView::copy()
{
    // The selection, or the whole report when nothing is selected.
    if (area_->textCursor().hasSelection())
        area_->copy();
    else
        QGuiApplication::clipboard()->setText(area_->toPlainText());
}

void ReportView::saveAs()
{
    if (lastFolder_.isEmpty()) {
        // Without one, the dialog would open in whatever folder Orvantis was
        // started from.
        lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(lastFolder_).isDir()) {
            qCInfo(lcReading) << "no documents folder" << lastFolder_ << "- offering the home folder";
            lastFolder_ = QDir::homePath();
        }
    }
    QFileDialog dialog(area_->window(), QStringLiteral("Save Reading As"),
                       lastFolder_ + QLatin1Char('/') + name_.fileStem + QStringLiteral(".txt"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog's own question names the link when the name is one; ours
    // names the file that would really be replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters({kTextFilter, kPdfFilter});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // Choosing the other kind changes the suffix of the name given.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix = filter == kPdfFilter ? QStringLiteral("pdf") : QStringLiteral("txt");
        dialog.setDefaultSuffix(suffix);
        dialog.selectFile(QFileInfo(dialog.selectedFiles().value(0)).completeBaseName() + QLatin1Char('.')
                          + suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(path).absolutePath();
    if (replaceConfirmed(path))
        save(path);
}

bool ReportView::replaceConfirmed(const QString& path)
{
    const QString target = replacedFile(path);
    if (!QFileInfo(target).isFile()) // nothing to replace, or save() refuses it
        return true;
    QString question = target + QStringLiteral(" already exists.\nDo you want to replace it?");
    if (target != QFileInfo(path).absoluteFilePath())
        question.prepend(path + QStringLiteral(" is a link to ") + target + QStringLiteral(".\n"));
    return messages_.Confirm(area_->window(), look::appTitle(), question);
}

bool ReportView::save(const QString& path)
{
    const modDestiny::MarkedReport& reading = report_.Reading();
    const QByteArray bytes = isPdf(path) ? readingPdf(name_, reading)
                                         : QByteArray(reading.text.data(), qsizetype(reading.text.size()));
    // A failure leaves the old file (or none), never a half-written one.
    const std::optional<QString> why = replaceFile(path, bytes);
    if (why)
        messages_.Warning(area_->window(), look::appTitle(),
                          QStringLiteral("The reading could not be saved in %1:\n%2").arg(path, *why));
    return !why;
}

void ReportView::print()
{
    using PrintReading = bool (*)(QWidget*, QTextDocument*, const QString&, const QPageSize&);
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/orvantis-print"));
    const auto printReading = reinterpret_cast<PrintReading>(module.resolve("orvantisPrintReading"));
    if (!printReading) {
        messages_.Warning(area_->window(), look::appTitle(),
                          QStringLiteral("Printing is not available:\n%1").arg(module.errorString()));
        return;
    }
    const auto document = readingDocument(name_, report_.Reading());
    printReading(area_->window(), document.get(), name_.fileStem, paperSize());
}

} // namespace orvantis
