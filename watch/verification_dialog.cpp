#include "watch/verification_dialog.h"

#include <cstdio>

#include "core/lenient_number.h"

namespace norvane {
namespace {

int WholeValue(const std::string& text) {
  const double value = LenientNumber(text);
  if (!(value > -1e9 && value < 1e9)) return value > 0 ? 1000000000 : -1000000000;
  return static_cast<int>(RoundHalfEven(value));
}

std::string Padded(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

}  // namespace

VerificationCriteria ParseCriteria(std::string_view criteria) {
  VerificationCriteria c;
  if (criteria == kNoCriteria) return c;
  for (std::size_t k = 0; k + 1 < criteria.size(); ++k) {
    if (criteria[k] != ':') continue;
    const char code = criteria[k + 1];
    const auto threshold = [&] {
      const std::string digits(criteria.substr(k + 2, 3));
      return static_cast<int>(RoundHalfEven(LenientNumber(digits)));
    };
    switch (code) {
      case 'W': c.wind = threshold(); break;
      case 'T': c.thunder = true; break;
      case 'S': c.snow = threshold(); break;
      case 'Z': c.freezing = true; break;
      case 'L': c.lightning = true; break;
      case 'C': c.cb = true; break;
      case 'R': c.tornado = true; break;
      case 'F': c.funnel = true; break;
      case 'H': c.hail = true; break;
      default: break;
    }
  }
  return c;
}

DateFields FieldsOfStamp(std::string_view stamp) {
  std::string s(stamp);
  s.resize(12, '0');
  return {s.substr(6, 2), s.substr(4, 2), s.substr(0, 4), s.substr(8, 4)};
}

VerificationDialog::VerificationDialog(std::string_view nowStamp)
    : start(FieldsOfStamp(StampAddHours(nowStamp, -12))), end(FieldsOfStamp(nowStamp)) {}

std::optional<TimeStamp> VerificationDialog::CheckDate(const DateFields& fields, const char* prefix,
                                                       Dialogs& dialogs) {
  const int year = WholeValue(fields.year);
  const int month = WholeValue(fields.month);
  const int day = WholeValue(fields.day);
  const int time = WholeValue(fields.time);
  const int hour = time / 100;
  const int minute = time % 100;
  std::string message;
  std::string box;
  if (year < 2000 || year > 6000) {
    message = "Valid year numbers are from 2000 to 6000.";
    box = "Year";
  } else if (month < 1 || month > 12) {
    message = "Valid month numbers are from 1 to 12.";
    box = "Month";
  } else if (day < 1 || day > DaysInMonth(month, year)) {
    message = "Valid days for month and year are from 1 to " + std::to_string(DaysInMonth(month, year)) + ".";
    box = "Day";
  } else if (time < 0 || hour > 23 || minute > 59) {
    message = "Valid hours for time are from 00 to 23 and\r\nvalid minutes for time are from 00 to 59.";
    box = "Time";
  }
  if (!message.empty()) {
    dialogs.MessageBox(message, "ERROR", BoxStyle::Exclamation);
    focus_ = std::string("txt") + prefix + box;
    return std::nullopt;
  }
  return Padded(year, 4) + Padded(month, 2) + Padded(day, 2) + Padded(hour, 2) + Padded(minute, 2);
}

std::optional<int> VerificationDialog::CheckThreshold(const std::string& text, const char* control,
                                                      const char* message, Dialogs& dialogs) {
  const int value = WholeValue(text);
  if (value >= 1 && value <= 999) return value;
  dialogs.MessageBox(message, "ERROR", BoxStyle::Exclamation);
  focus_ = control;
  return std::nullopt;
}

bool VerificationDialog::Quick(int hours, Dialogs& dialogs) {
  focus_.clear();
  const auto endStamp = CheckDate(end, "End", dialogs);
  if (!endStamp) return false;
  start = FieldsOfStamp(StampAddHours(*endStamp, -hours));
  return true;
}

std::optional<VerificationRequest> VerificationDialog::Ok(Dialogs& dialogs) {
  focus_.clear();
  const auto startStamp = CheckDate(start, "Start", dialogs);
  if (!startStamp) return std::nullopt;
  const auto endStamp = CheckDate(end, "End", dialogs);
  if (!endStamp) return std::nullopt;
  std::optional<int> wind, snow;
  if (checks.chkWind && !(wind = CheckThreshold(txtWind, "txtWind", "Valid wind values are from 1 to 999.", dialogs)))
    return std::nullopt;
  if (checks.chkSnow &&
      !(snow = CheckThreshold(txtSnow, "txtSnow", "Valid snow depth values are from 1 to 999.", dialogs)))
    return std::nullopt;
  std::string criteria;
  if (wind) criteria += ":W" + Padded(*wind, 3);
  if (checks.chkThunder) criteria += ":T";
  if (snow) criteria += ":S" + Padded(*snow, 3);
  if (checks.chkFreeze) criteria += ":Z";
  if (checks.chkLTG) criteria += ":L";
  if (checks.chkCB) criteria += ":C";
  if (checks.chkTornado) criteria += ":R";
  if (checks.chkFunnel) criteria += ":F";
  if (checks.chkHail) criteria += ":H";
  return VerificationRequest{criteria, *startStamp, *endStamp};
}

}  // namespace norvane
