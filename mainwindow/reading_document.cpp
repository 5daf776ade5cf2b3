#include "mainwindow/reading_document.h"

#include "mainwindow/date_texts.h"
#include "mainwindow/logging.h"

#include <QBuffer>
#include <QLocale>
#include <QPdfWriter>
#include <QTextDocument>

namespace orvantis {

ReadingName readingName(const std::optional<QDate>& birth, const QString& targetKind,
                        const QString& target)
{
    ReadingName name{QStringLiteral("Orvantis reading"), QStringLiteral("Orvantis reading")};
    if (birth) {
        name.title += QStringLiteral(" for ") + datetext::BirthDateDisplay(*birth);
        name.fileStem += QLatin1Char(' ') + birth->toString(Qt::ISODate);
    }
    if (!target.isEmpty()) {
        name.title += QStringLiteral(", ") + targetKind + QStringLiteral(" of ") + target;
        name.fileStem += QLatin1Char(' ') + target;
    }
    return name;
}

std::unique_ptr<QTextDocument> readingDocument(const ReadingName& name,
                                               const modDestiny::MarkedReport& report)
{
    QString html = QStringLiteral("<h2>") + name.title.toHtmlEscaped() + QStringLiteral("</h2>");
    for (const modDestiny::Block& block : report.blocks) {
        const QString escaped =
            QString::fromUtf8(report.text.data() + block.begin, qsizetype(block.end - block.begin))
                .toHtmlEscaped();
        switch (block.kind) {
        case modDestiny::BlockKind::Heading:
            html += QStringLiteral("<h3>") + escaped + QStringLiteral("</h3>");
            break;
        case modDestiny::BlockKind::Keywords:
            html += QStringLiteral("<p><i>") + escaped + QStringLiteral("</i></p>");
            break;
        case modDestiny::BlockKind::Paragraph:
            html += QStringLiteral("<p>") + escaped + QStringLiteral("</p>");
            break;
        }
    }
    auto document = std::make_unique<QTextDocument>();
    QFont body(QStringLiteral("Serif"));
    body.setPointSize(11);
    // No ligatures: "fine" is to stay f, i, n, e for whoever copies or
    // searches the text, not become one ligature sign. Qt leaves them out of
    // spaced text, and a sixty-fourth of a point is spacing enough.
    body.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / 64);
    document->setDefaultFont(body);
    document->setDocumentMargin(0);
    document->setHtml(html);
    return document;
}

QPageSize paperSize()
{
    const QPageSize paper(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                              ? QPageSize::Letter
                              : QPageSize::A4);
    qCInfo(lcReading) << "paper for the locale" << QLocale::system().name() << "is" << paper.name();
    return paper;
}

QByteArray readingPdf(const ReadingName& name, const modDestiny::MarkedReport& report)
{
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&out);
        writer.setPageSize(paperSize());
        writer.setTitle(name.title);
        writer.setCreator(QStringLiteral("Orvantis"));
        readingDocument(name, report)->print(&writer);
    }
    return pdf;
}

} // namespace orvantis
