// Names that identify the program to the desktop, kept in one place.
#pragma once

#include <QString>

namespace orvantis::appinfo {

inline constexpr char kApplicationName[] = "Orvantis";
inline constexpr char kOrganisationName[] = "Orvantis";
// Reverse-DNS id: the .desktop file, the icon and the Wayland app id use it.
inline constexpr char kDesktopFileName[] = "io.github.orvantis.Orvantis";

} // namespace orvantis::appinfo
