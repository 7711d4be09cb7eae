#pragma once
#include <string>
#include <string_view>

namespace norvane {

// The fetched body in the form the cutter reads. A body that starts with the gzip
// signature is inflated; a CSV table whose header names a "raw_text" column is
// reduced to that column, one report a line. Anything else is kept as it is.
struct DecodedBody {
  std::string text;
  std::string problem;  // why the body cannot be read (a damaged gzip stream); "" when fine
};
DecodedBody DecodeBody(std::string body);

// Inflated bodies are capped: a few bytes must not turn into gigabytes.
inline constexpr std::size_t kMaxInflatedBytes = 64u << 20;

}  // namespace norvane
