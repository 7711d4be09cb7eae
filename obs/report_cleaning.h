#pragma once
// Cleaning of a raw report text as the downloader files it.
#include <string>
#include <string_view>

namespace norvane {

// Replaces every double quote by an apostrophe, every comma by a semicolon and every
// character below code 32 by a blank; drops every blank that would follow a blank; ends
// the text with one blank if it does not end with one. The result never holds a double
// quote or a comma, so it is safe in record-style files.
std::string CleanReport(std::string_view raw);

}  // namespace norvane
