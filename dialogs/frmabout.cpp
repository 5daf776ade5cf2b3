#include "dialogs/frmabout.h"

#include "dialogs/property_bag.h"
#include "dialogs/urllink.h"
#include "look/look.h"
#include "look/pictures.h"
#include "look/window_frame.h"
#include "platform/services.h"
#include "ui_frmabout.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orvantis {

namespace {

// Shown instead of the version after a double click on the picture; one
// line that fits the version text's box at 9 pt.
QString creditLine()
{
    return QStringLiteral("By the ") + QString::fromLatin1(URLLink::DefaultText);
}

} // namespace

frmAbout::frmAbout(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(std::make_unique<Ui::frmAbout>())
{
    ui->setupUi(this);
    setFixedSize(size());
    look::keepNormalState(this);
    look::placeWhenFirstShown(this);
    look::setPanelColours(this, look::colours::salmon(), palette().color(QPalette::WindowText));

    ui->Image1->setPixmap(look::appPicture(ui->Image1->size(), devicePixelRatioF()));
    ui->Image1->installEventFilter(this);

    ui->Label1->setFont(look::sfSansSerifBold(13.5));
    look::setPanelColours(ui->Label1, look::colours::salmon(), look::colours::highlight());

    // The panel's layout stores no link properties, so the link shows its
    // defaults every time the panel is created.
    ui->URLLink1->setDesktop(services.urls, services.messages);
    ui->URLLink1->UserControl_ReadProperties(MemoryPropertyBag());
    ui->URLLink1->setGoToUrlHandler([this](GoToURLEvent& event) { URLLink1_GoToURL(event); });
}

frmAbout::~frmAbout() = default;

void frmAbout::showModal(QWidget* over, const Services& services)
{
    // With `over` as parent the panel opens centred over it and stays above it.
    frmAbout about(services, over);
    about.exec();
}

bool frmAbout::onSurface(const QPoint& position) const
{
    return rect().contains(position) && childAt(position) == nullptr;
}

// A click is a press and a release of the left button, both on the bare
// background. Presses on the picture or the text reach here too (labels pass
// them on), which is why the point is checked.
void frmAbout::mousePressEvent(QMouseEvent* event)
{
    pressedOnSurface_ =
        event->button() == Qt::LeftButton && onSurface(event->position().toPoint());
    event->accept();
}

void frmAbout::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressedOnSurface_ && event->button() == Qt::LeftButton &&
                       onSurface(event->position().toPoint());
    pressedOnSurface_ = false;
    event->accept();
    if (click)
        Form_Click();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Image1 && event->type() == QEvent::MouseButtonDblClick) {
        Image1_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::Form_Click()
{
    close();
}

void frmAbout::Image1_DblClick()
{
    QFont font = ui->Label1->font();
    font.setPointSizeF(9);
    ui->Label1->setFont(font);
    ui->Label1->setText(creditLine());
}

void frmAbout::URLLink1_GoToURL(GoToURLEvent& event)
{
    // Nothing to add: every press opens the mail link as it is.
    (void)event;
}

} // namespace orvantis
