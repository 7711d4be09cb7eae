#pragma once
// The text verification (the notices kept in "verify.out", newest first) and the
// continuity check (stored reports per hour over the last 49 hours).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/reporter.h"
#include "obs/observation_store.h"
#include "platform/file_system.h"

namespace norvane {

inline constexpr const char* kNothingToVerify = "Nothing to be verified...";

// The text of `frmTextVerify`'s box: for every entry of "verify.out", newest first, the
// event line, the report line and the empty line, each ending CR LF. A damaged file
// shows the entries before the damage, and the damage is reported.
std::string VerificationText(const FileSystem& fs, Reporter& reporter);

constexpr int kContinuityHours = 49;
using ContinuityCounts = std::array<int, kContinuityHours>;

// Reports of every station (slots and archives) per hour back from the current one: a
// report counts in hour h when floor((m0 - time) / 60) = h, m0 being the current whole
// hour + 15 minutes.
ContinuityCounts CountContinuity(const ObservationStore& store, const FileSystem& fs, std::int32_t now);
// The listing shown in the output box, one line an hour from the current one back.
std::string ContinuityListing(const ContinuityCounts& counts, std::string_view nowStamp);

}  // namespace norvane
