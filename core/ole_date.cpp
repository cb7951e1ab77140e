#include "core/ole_date.h"

#include <cmath>
#include <cstdint>

namespace core {
namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's
// days_from_civil), valid far beyond the OLE range.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

sys::CalendarDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int>(year), month, day};
}

const std::int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

double OleDate(const sys::CalendarDate& date) {
  return static_cast<double>(DaysFromCivil(date.year, date.month, date.day) - kOleEpoch);
}

std::optional<sys::CalendarDate> CalendarDateFromOle(double oleDate) {
  if (!std::isfinite(oleDate)) return std::nullopt;
  // Negative OLE dates count the whole days backwards and the fraction
  // forwards, so the day is the part towards zero.
  const double wholeDays = std::trunc(oleDate);
  if (wholeDays < OleDate({100, 1, 1}) || wholeDays > OleDate({9999, 12, 31})) return std::nullopt;
  return CivilFromDays(static_cast<std::int64_t>(wholeDays) + kOleEpoch);
}

}  // namespace core
