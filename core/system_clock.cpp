#include "core/system_clock.h"

#include <chrono>
#include <ctime>

namespace norvane {

namespace {
CivilTime FromTm(const std::tm& t) {
  return CivilTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}
}  // namespace

CivilTime SystemClock::UtcNow() const {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  gmtime_r(&now, &t);
  return FromTm(t);
}

CivilTime SystemClock::LocalNow() const {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return FromTm(t);
}

double SystemClock::SecondsSinceMidnight() const {
  using namespace std::chrono;
  const auto now = system_clock::now();
  std::time_t secs = system_clock::to_time_t(now);
  std::tm t{};
  localtime_r(&secs, &t);
  const double fraction = duration<double>(now.time_since_epoch()).count() - static_cast<double>(secs);
  return t.tm_hour * 3600.0 + t.tm_min * 60.0 + t.tm_sec + fraction;
}

}  // namespace norvane
