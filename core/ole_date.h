#pragma once

#include <optional>

#include "sys/clock.h"

namespace core {

// An OLE Automation date without a time of day: whole days since
// 30 December 1899 (proleptic Gregorian calendar), as a double.
double OleDate(const sys::CalendarDate& date);

// The calendar date of an OLE date's whole-day part; nothing when the value
// is not finite or lies outside the years 100 to 9999 that OLE dates cover.
std::optional<sys::CalendarDate> CalendarDateFromOle(double oleDate);

}  // namespace core
