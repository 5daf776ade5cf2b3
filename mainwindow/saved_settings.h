// Where the main window remembers the birth date between runs: two values of
// application "Orvantis" in the per-user settings store.
//
//   StartUpOption   "1": show the stored birth date at start and check
//                   "&Save Birthdate"; anything else: don't.
//   StartUpDate     the birth date, "mm/dd/yyyy" (older files: "mm/dd/yy"),
//                   or empty.
//
// The section and the date key are spelled two ways: the load reads the
// option from "Startup" and the date as "StartUpdate" from "StartUp"; the menu
// command writes both to "StartUp"; a date pick writes "StartUpDate" to
// "Startup". The store matches names without regard to case, so each pair
// names one section and one key; every operation keeps the spelling that
// files written by earlier releases were read and written with.
#pragma once

namespace orvantis::saved {

inline constexpr char kApplication[] = "Orvantis";
inline constexpr char kStartup[] = "Startup";
inline constexpr char kStartUp[] = "StartUp";
inline constexpr char kOption[] = "StartUpOption";
inline constexpr char kDate[] = "StartUpDate";
inline constexpr char kDateAsLoaded[] = "StartUpdate";

} // namespace orvantis::saved
