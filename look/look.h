// The look shared by the main window and the secondary windows: the names
// the program shows and is known by, its colours and its typefaces.
//
// The faces the windows were drawn with, "Westminster", "MS Sans Serif" and
// "SF Sans Serif", are rarely installed on a Linux desktop. A desktop that
// has them shows them; elsewhere a common sans-serif face stands in,
// narrowed where a text must fit a box sized for the original.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

class QWidget;

namespace orvantis::look {

// ------------------------------------------------------------------ names

// The title of every message box and dialog, and of the main window while
// it loads.
inline constexpr char kAppTitle[] = "Orvantis";
// The main window's title once it runs; also the tip of its tray icon and
// the name of the running-instance marker.
inline constexpr char kFullTitle[] = "Orvantis - Lumevarre";
inline QString appTitle() { return QString::fromLatin1(kAppTitle); }
inline QString fullTitle() { return QString::fromLatin1(kFullTitle); }

// Names that identify the program to the desktop.
inline constexpr char kApplicationName[] = "Orvantis";
inline constexpr char kOrganisationName[] = "Orvantis";
// Reverse-DNS id: the .desktop file, the icon and the Wayland app id use it.
inline constexpr char kDesktopFileName[] = "io.github.orvantis.Orvantis";

// ---------------------------------------------------------------- colours

// "Highlight" and "button face" follow the desktop's palette; the desktop
// has no notion of an active title bar colour, so we take the classic deep
// blue that yellow text reads well on.
namespace colours {
QColor highlight();
QColor buttonFace();
inline QColor activeTitleBar() { return {0, 0, 128}; }
inline QColor yellow() { return {255, 255, 0}; }
inline QColor salmon() { return {255, 128, 128}; }
inline QColor linkBlue() { return {0, 0, 255}; }
} // namespace colours

// Text in `colour` while the window is active or not; a disabled widget
// keeps the style's greyed text.
void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// A text box or list: yellow text on `background` (line edits paint the Base
// role, a list without typing the Button role).
void setBoxColours(QWidget* box, const QColor& background);
// Paints `widget`'s own background (not only its children's) and its text.
void setPanelColours(QWidget* widget, const QColor& background, const QColor& text);

// -------------------------------------------------------------- typefaces

// "Westminster" at `pointSize`, weight 500: the main window's own face, its
// labels and mode buttons.
QFont westminster(qreal pointSize);
// The main window's own size of it, for every control without a face of
// its own.
inline constexpr qreal kMainWindowPointSize = 9.75;
// "MS Sans Serif" 8.25 pt: text boxes, lists, the report, the link.
QFont msSansSerif();
// "MS Sans Serif" 8.25 pt narrowed so that the longest date fits the
// birth-date and day boxes.
QFont msSansSerifForDateBoxes();
// "SF Sans Serif", bold, at `pointSize`: the About window's version text.
QFont sfSansSerifBold(qreal pointSize);

// `font`, narrowed just enough (never below 70 %) for `sample` to take at
// most `width` pixels; unchanged when it fits already.
QFont fittedToWidth(QFont font, const QString& sample, int width);

} // namespace orvantis::look
