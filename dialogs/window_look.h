// What the secondary windows share in looks: the typefaces their layouts
// name, the application's icon and title, and our bundled pictures.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

class QWidget;

namespace orvantis::look {

// Title of every message box and window caption of ours.
QString appTitle();

// Makes our bundled pictures available and gives the typefaces our layouts
// name a face that is installed. Cheap to call again.
void prepare();

// "MS Sans Serif" 8.25 pt, the face of text boxes, lists and the link.
QFont msSansSerif();

// The application's icon; null when the program was built without it.
QIcon applicationIcon();

// Paints `widget`'s own background (not only its children's) and text.
void setColours(QWidget* widget, const QColor& background, const QColor& text);

} // namespace orvantis::look
