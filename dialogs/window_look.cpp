#include "dialogs/window_look.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QWidget>

// Q_INIT_RESOURCE declares a function at the scope it is used in, so it has
// to live outside our namespace. A static library's resources are not
// registered unless something refers to them.
static void registerDialogResources()
{
    Q_INIT_RESOURCE(dialogs);
}

namespace orvantis::look {

namespace {
// Resource path of the application icon; the main program's resources
// carry it. Tests and tools built without it get a null icon.
constexpr char iconResource[] = ":/orvantis.svg";
} // namespace

QString appTitle()
{
    return QStringLiteral("Orvantis");
}

void prepare()
{
    static const bool done = [] {
        registerDialogResources();
        // The layouts were drawn for a narrow bitmap face that desktops rarely
        // carry. The metric twins of Arial and Helvetica come closest to its
        // width, so the texts fit their boxes; DejaVu Sans is always there.
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)done;
}

QFont msSansSerif()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    return font;
}

QIcon applicationIcon()
{
    if (QFile::exists(QString::fromLatin1(iconResource)))
        return QIcon(QString::fromLatin1(iconResource));
    return QApplication::windowIcon();
}

void setColours(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace orvantis::look
