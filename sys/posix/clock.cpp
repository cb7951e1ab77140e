#include "sys/clock.h"

#include <time.h>

namespace sys {

CalendarDate LocalDate() {
  const time_t now = ::time(nullptr);
  tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace sys
