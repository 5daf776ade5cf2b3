// Printing a reading, in a module of its own that the program loads the
// first time the user prints (report_view.cpp): Qt's print support would
// otherwise be loaded, and cost time and memory, at every start.
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

// Asks for a printer (or a file, through the dialog's "print to file") and
// prints `document` there on `paper`. False when the user cancelled; nothing is printed
// then.
extern "C" Q_DECL_EXPORT bool orvantisPrintReading(QWidget* parent, QTextDocument* document,
                                                   const QString& name, const QPageSize& paper)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(paper);
    printer.setDocName(name); // the print job's name, and the file name when printing to a file
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Reading"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document->print(&printer);
    return true;
}
