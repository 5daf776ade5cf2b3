// The few colours every window of ours uses, in one place. "Highlight" and
// "button face" follow the desktop's palette; the desktop has no notion of an
// active title bar colour, so we take the classic deep blue that yellow text
// reads well on.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace orvantis::colours {

inline QColor highlight() { return QApplication::palette().color(QPalette::Active, QPalette::Highlight); }
inline QColor buttonFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
inline QColor activeTitleBar() { return QColor(0, 0, 128); }
inline QColor yellow() { return QColor(255, 255, 0); }
inline QColor salmon() { return QColor(255, 128, 128); }
inline QColor linkBlue() { return QColor(0, 0, 255); }

} // namespace orvantis::colours
