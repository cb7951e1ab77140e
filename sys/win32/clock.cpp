#include "sys/clock.h"

#include <windows.h>

namespace sys {

CalendarDate LocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace sys
