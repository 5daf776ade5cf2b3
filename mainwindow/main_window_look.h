// How the main window looks beyond its layout (resources/frmNumer.ui): the
// faces and colours of its captions and boxes, its pictures, the names of its
// menu separators.
#pragma once

class QWidget;

namespace Ui {
class frmNumer;
}

namespace orvantis {

void applyMainWindowLook(Ui::frmNumer& ui, QWidget* window);

} // namespace orvantis
