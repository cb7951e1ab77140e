#pragma once

namespace sys {

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

// Today in the local time zone.
CalendarDate LocalDate();

}  // namespace sys
