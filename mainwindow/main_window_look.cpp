#include "mainwindow/main_window_look.h"

#include "look/look.h"
#include "look/pictures.h"
#include "ui_frmNumer.h"

namespace orvantis {

void applyMainWindowLook(Ui::frmNumer& ui, QWidget* window)
{
    using namespace look;
    const QFont captionFont = westminster(12);
    for (QWidget* caption : std::initializer_list<QWidget*>{ui.Label1, ui.Label2, ui.Label3, ui.Option1,
                                                            ui.Option2, ui.Option3}) {
        caption->setFont(captionFont);
        setTextColour(caption, QPalette::WindowText, colours::highlight());
        setTextColour(caption, QPalette::ButtonText, colours::highlight());
    }
    // Only the date boxes are narrowed, where "September 30, 2025" must fit;
    // the report and the month list show the face at its natural width.
    const QFont dateBoxFont = msSansSerifForDateBoxes();
    ui.Text3->setFont(dateBoxFont);
    ui.Text2->setFont(dateBoxFont);
    ui.Combo1->setFont(msSansSerif());
    ui.Text1->setFont(msSansSerif());
    setBoxColours(ui.Text3, colours::highlight());
    setBoxColours(ui.Text1, colours::activeTitleBar());
    setBoxColours(ui.Text2, colours::buttonFace());
    setBoxColours(ui.Combo1, colours::buttonFace());

    ui.Image1->setPixmap(appPicture(ui.Image1->size(), window->devicePixelRatioF()));
    ui.Command1->setIcon(globeIcon());

    // The separators keep the names the menus were laid out with.
    int line = 0;
    for (QAction* action : ui.mnuHelp->actions())
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("line%1").arg(++line));
    for (QAction* action : ui.mnuRestore->actions())
        if (action->isSeparator())
            action->setObjectName(QStringLiteral("Line4"));
}

} // namespace orvantis
