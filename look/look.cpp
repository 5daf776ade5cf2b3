#include "look/look.h"

#include "look/logging.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace orvantis::look {

namespace colours {
QColor highlight() { return QApplication::palette().color(QPalette::Active, QPalette::Highlight); }
QColor buttonFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
} // namespace colours

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    widget->setPalette(palette);
}

void setBoxColours(QWidget* box, const QColor& background)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    box->setPalette(palette);
    setTextColour(box, QPalette::Text, colours::yellow());
    setTextColour(box, QPalette::ButtonText, colours::yellow());
}

void setPanelColours(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The installed face that stands in for `face`: the face itself where the
// desktop has it, else the first of Arial's metric twins (closest in width),
// DejaVu Sans as the last resort. Named directly, rather than through QFont's
// substitution table, and looked up in the list of installed families rather
// than with QFontDatabase::hasFamily: either would search the system's fonts
// for each name (one of the start-up steps listed in mainwindow/main.cpp).
QString standIn(const char* face)
{
    const QStringList installed = QFontDatabase::families();
    const auto have = [&installed](const char* family) {
        return installed.contains(QLatin1String(family), Qt::CaseInsensitive);
    };
    if (have(face))
        return QString::fromLatin1(face);
    QString twin = QStringLiteral("DejaVu Sans");
    for (const char* name : {"Liberation Sans", "Arimo", "Nimbus Sans"})
        if (have(name)) {
            twin = QString::fromLatin1(name);
            break;
        }
    qCInfo(lcFonts) << QString::fromLatin1(face) << "is not installed;" << twin << "stands in for it";
    return twin;
}

const QString& standInFor(const char* face)
{
    static QHash<QString, QString> known;
    auto it = known.find(QLatin1String(face));
    if (it == known.end())
        it = known.insert(QString::fromLatin1(face), standIn(face));
    return *it;
}

QFont fittedToWidth(QFont font, const QString& sample, int width)
{
    // Measured in the report's face, which the window loads anyway, and
    // scaled to the font's size when it is the same face, rather than loading
    // a face at another size only to measure it. Text widths grow with the
    // size as long as glyphs are not hinted across, which the usual font
    // settings do not do.
    const QFont reference = msSansSerif();
    const int natural = font.family() == reference.family() && font.stretch() == QFont::AnyStretch
        ? qRound(QFontMetricsF(reference).horizontalAdvance(sample) * font.pointSizeF()
                 / reference.pointSizeF())
        : QFontMetrics(font).horizontalAdvance(sample);
    if (natural > width && natural > 0)
        font.setStretch(std::max(70, width * 100 / natural));
    return font;
}

QFont westminster(qreal pointSize)
{
    QFont font(standInFor("Westminster"));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Medium); // 500
    // The widest caption in the narrowest room: "Option2" leaves 233 px
    // beside its round button at 12 pt.
    return fittedToWidth(font, QStringLiteral("Personal Year and Month Numbers"),
                         static_cast<int>(233 * pointSize / 12));
}

QFont msSansSerif()
{
    QFont font(standInFor("MS Sans Serif"));
    font.setPointSizeF(8.25);
    // Said outright: a widget would otherwise take the weight and stretch of
    // its window's face.
    font.setWeight(QFont::Normal);
    font.setStretch(QFont::Unstretched);
    return font;
}

QFont msSansSerifForDateBoxes()
{
    // The longest birth date inside a 103 px box, less its frame and margins.
    return fittedToWidth(msSansSerif(), QStringLiteral("September 30, 2025"), 93);
}

QFont sfSansSerifBold(qreal pointSize)
{
    // Left to the desktop's own choice of a stand-in.
    QFont font(QStringLiteral("SF Sans Serif"));
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}

} // namespace orvantis::look
