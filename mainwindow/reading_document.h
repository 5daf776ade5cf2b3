// A reading laid out for paper: the report of the report area as a document
// with a title line, its headings set apart from the paragraphs and page
// numbers, for a PDF file or a printer.
#pragma once

#include "reports/report_area.h"

#include <QByteArray>
#include <QDate>
#include <QPageSize>
#include <QString>

#include <memory>
#include <optional>

class QTextDocument;

namespace orvantis {

// Which reading a report is: what its title says and its file is called.
struct ReadingName {
    QString title;    // "Orvantis reading for July 04, 1976, month of March"
    QString fileStem; // "Orvantis reading 1976-07-04 March"
};

// The name of a calculated reading: of the birth date (when the box held
// one), and of the month or day it is for: `target` is "March" and
// `targetKind` "month" for a Personal Month, say; both empty in mode 1.
ReadingName readingName(const std::optional<QDate>& birth, const QString& targetKind,
                        const QString& target);

// The report as a document, laid out by the blocks the report builders
// marked: the title first, then each heading bold, each keywords line in
// italics and each paragraph plain, in an 11 pt serif face; the line breaks
// between them make no blocks of their own. The document has no page size,
// so printing it lays it out on the printer's page and numbers the pages.
std::unique_ptr<QTextDocument> readingDocument(const ReadingName& name,
                                               const modDestiny::MarkedReport& report);

// A4, or Letter where the locale measures in inches.
QPageSize paperSize();

// The document as a PDF file on paperSize() paper, text as text.
QByteArray readingPdf(const ReadingName& name, const modDestiny::MarkedReport& report);

} // namespace orvantis
