#pragma once
// The verification dialog (`frmVerify`) without its window, and the request it hands
// to the verification map: the criteria codes and the period.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/time_stamp.h"
#include "platform/dialogs.h"

namespace norvane {

inline constexpr const char* kNoCriteria = "NONE";

struct VerificationRequest {
  std::string criteria = kNoCriteria;  // "NONE" when cancelled, else codes such as ":W030:T"
  TimeStamp start;
  TimeStamp end;
  bool Cancelled() const { return criteria == kNoCriteria; }
};

// The criteria codes read back from a request.
struct VerificationCriteria {
  std::optional<int> wind;  // ":W" threshold in knots
  bool thunder = false;     // ":T"
  std::optional<int> snow;  // ":S" threshold in inches
  bool freezing = false;    // ":Z"
  bool lightning = false;   // ":L"
  bool cb = false;          // ":C"
  bool tornado = false;     // ":R"
  bool funnel = false;      // ":F"
  bool hail = false;        // ":H"
};
VerificationCriteria ParseCriteria(std::string_view criteria);

// One set of date boxes: day, month, year and the time as HHMM.
struct DateFields {
  std::string day, month, year, time;
};
DateFields FieldsOfStamp(std::string_view stamp);

// The check boxes, named after their controls.
struct VerificationChecks {
  bool chkWind = false, chkThunder = false, chkSnow = false, chkFreeze = false, chkLTG = false, chkCB = false,
       chkTornado = false, chkFunnel = false, chkHail = false;
};

class VerificationDialog {
 public:
  // The quick-period buttons `cmdQuick`, in order ("6hr" ... "24hr").
  static constexpr std::array<int, 6> kQuickHours{6, 8, 12, 18, 20, 24};

  // Opening: thresholds 30 and 2; the period the twelve hours up to `now`.
  explicit VerificationDialog(std::string_view nowStamp);

  DateFields start, end;
  std::string txtWind = "30";
  std::string txtSnow = "2";
  VerificationChecks checks;

  // A quick button: checks the end boxes, then sets the start `hours` before the end.
  bool Quick(int hours, Dialogs& dialogs);
  // `cmdOk`: every check; the request when they pass, nothing (after the "ERROR" box,
  // the dialog staying open) when one fails.
  std::optional<VerificationRequest> Ok(Dialogs& dialogs);
  // `cmdCancel`.
  static VerificationRequest Cancel() { return VerificationRequest{}; }

  // The control that should hold the focus after a failed check ("txtWind",
  // "txtStartDay", ...); empty when none.
  const std::string& Focus() const { return focus_; }

 private:
  std::optional<TimeStamp> CheckDate(const DateFields& fields, const char* prefix, Dialogs& dialogs);
  std::optional<int> CheckThreshold(const std::string& text, const char* control, const char* message,
                                    Dialogs& dialogs);
  std::string focus_;
};

}  // namespace norvane
