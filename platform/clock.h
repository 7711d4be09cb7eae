#pragma once

namespace norvane {

struct CivilTime {
  int year = 1999;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The system clocks. Tests use a scripted clock.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilTime UtcNow() const = 0;
  // The local calendar date and time (the downloader dates reports with it).
  virtual CivilTime LocalNow() const = 0;
  // Seconds since local midnight, with fractions (the busy-wait clock).
  virtual double SecondsSinceMidnight() const = 0;
};

}  // namespace norvane
