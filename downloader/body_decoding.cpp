#include "downloader/body_decoding.h"

#include <zlib.h>

#include <vector>

namespace norvane {

namespace {

bool Gzipped(std::string_view b) {
  return b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0x1f && static_cast<unsigned char>(b[1]) == 0x8b;
}

// Inflates every gzip member of `b`; empty with `problem` set when the stream is damaged.
std::string Inflate(std::string_view b, std::string& problem) {
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) {
    problem = "the server's file could not be unpacked";
    return {};
  }
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(b.data()));
  z.avail_in = static_cast<uInt>(b.size());
  std::string out;
  std::vector<char> buffer(1 << 16);
  int rc = Z_OK;
  while (true) {
    z.next_out = reinterpret_cast<Bytef*>(buffer.data());
    z.avail_out = static_cast<uInt>(buffer.size());
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(buffer.data(), buffer.size() - z.avail_out);
    if (out.size() > kMaxInflatedBytes) {
      problem = "the server's file unpacks to more than 64 MB";
      break;
    }
    if (rc == Z_STREAM_END) {
      // Concatenated members are one file to gzip.
      if (z.avail_in == 0 || !Gzipped(std::string_view(reinterpret_cast<const char*>(z.next_in), z.avail_in))) break;
      inflateReset(&z);
      continue;
    }
    if (rc != Z_OK) {
      problem = "the server's file is a damaged gzip file";
      break;
    }
    if (z.avail_in == 0 && z.avail_out != 0) {
      problem = "the server's gzip file is cut short";
      break;
    }
  }
  inflateEnd(&z);
  if (!problem.empty()) out.clear();
  return out;
}

// One CSV line split into fields; quoted fields may hold commas and doubled quotes.
std::vector<std::string> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') fields.back() += '"', ++i;
      else if (c == '"') quoted = false;
      else fields.back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

// The "raw_text" column, one report a line, when a header among the first lines names it.
bool RawTextColumn(std::string_view b, std::string& out) {
  constexpr int kHeaderSearchLines = 20;
  std::size_t pos = 0;
  std::size_t column = 0;
  bool found = false;
  for (int line = 0; line < kHeaderSearchLines && pos < b.size() && !found; ++line) {
    const std::size_t end = std::min(b.find('\n', pos), b.size());
    const std::string_view text = b.substr(pos, end - pos);
    pos = end + 1;
    if (text.find("raw_text") == std::string_view::npos) continue;
    const auto fields = CsvFields(text);
    for (std::size_t k = 0; k < fields.size() && !found; ++k) {
      if (fields[k] == "raw_text") column = k, found = true;
    }
  }
  if (!found) return false;
  // A report needs a line break before it to be found.
  out = "\n";
  while (pos < b.size()) {
    const std::size_t end = std::min(b.find('\n', pos), b.size());
    const auto fields = CsvFields(b.substr(pos, end - pos));
    pos = end + 1;
    if (column < fields.size() && !fields[column].empty()) out += fields[column] + "\n";
  }
  return true;
}

}  // namespace

DecodedBody DecodeBody(std::string body) {
  DecodedBody decoded;
  if (Gzipped(body)) {
    body = Inflate(body, decoded.problem);
    if (!decoded.problem.empty()) return decoded;
  }
  std::string column;
  decoded.text = RawTextColumn(body, column) ? std::move(column) : std::move(body);
  return decoded;
}

}  // namespace norvane
