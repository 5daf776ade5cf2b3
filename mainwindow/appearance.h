// Fonts and pictures of the main window.
//
// The window's faces, "Westminster" and "MS Sans Serif", are rarely installed
// on a Linux desktop. Their names are kept (a desktop that has them shows
// them) and a common sans-serif face stands in, narrowed where needed so the
// captions still fit the fixed control sizes the faces were chosen for.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace orvantis::appearance {

inline constexpr char kWestminster[] = "Westminster";
inline constexpr char kMsSansSerif[] = "MS Sans Serif";

// Registers the stand-in faces and the pictures once per process; later
// calls do nothing.
void RegisterFontSubstitutes();

// "Westminster" at the given size, weight 500.
QFont Westminster(qreal pointSize);
// "MS Sans Serif" 8.25 pt, the face of the text boxes and lists.
QFont MsSansSerif();

// `font`, narrowed just enough (never below 70 %) for `sample` to take at
// most `width` pixels; unchanged when it fits already.
QFont FittedToWidth(QFont font, const QString& sample, int width);

// Resource paths of the drawn pictures.
inline constexpr char kAppIconPath[] = ":/orvantis.svg";
inline constexpr char kGlobePath[] = ":/globe.svg";

// An icon drawn from an SVG at each size it is shown at, rendered the first
// time that size is asked for; it needs no image plug-in and stays crisp at
// every size.
QIcon SvgIcon(const QString& resourcePath);
// The picture stretched to exactly `size` device-independent pixels
// (aspect ratio not kept), rendered for `devicePixelRatio`.
QPixmap SvgStretched(const QString& resourcePath, QSize size, qreal devicePixelRatio);

inline QIcon AppIcon() { return SvgIcon(QString::fromLatin1(kAppIconPath)); }

} // namespace orvantis::appearance
