#include "app/batch_options.h"

#include <algorithm>
#include <charconv>

namespace norvane {
namespace {

std::optional<int> WholeNumber(const std::string& text, int low, int high) {
  int value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

BatchParse ParseBatchOptions(const std::vector<std::string>& args) {
  BatchOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--no-startup") {
      o.runStartup = false;
    } else if (a == "--fixed-metrics") {
      o.fixedMetrics = true;
    } else if (a == "--size") {
      const auto v = value();
      const std::size_t x = v ? v->find_first_of("xX") : std::string::npos;
      const auto w = x != std::string::npos ? WholeNumber(v->substr(0, x), 1, 20000) : std::nullopt;
      const auto h = x != std::string::npos ? WholeNumber(v->substr(x + 1), 1, 20000) : std::nullopt;
      if (!w || !h) return {std::nullopt, "--size takes WIDTHxHEIGHT in pixels, for example 1600x900"};
      o.mapWidth = *w;
      o.mapHeight = *h;
    } else if (a == "--wait") {
      const auto v = value();
      const auto s = v ? WholeNumber(*v, 0, 86400) : std::nullopt;
      if (!s) return {std::nullopt, "--wait takes a number of seconds from 0 to 86400"};
      o.steps.push_back({BatchStep::Kind::Wait, "", *s});
    } else if (a == "--frames") {
      const auto v = value();
      if (!v || v->empty()) return {std::nullopt, "--frames takes a folder"};
      o.steps.push_back({BatchStep::Kind::Frames, *v, 0});
    } else if (a == "--png" || a == "--primitives" || a == "--log" || a == "--watch") {
      const auto v = value();
      if (!v || v->empty()) return {std::nullopt, a + " takes a file name"};
      (a == "--png" ? o.pngFile : a == "--primitives" ? o.primitivesFile : a == "--log" ? o.logFile : o.watchFile) = *v;
    } else if (a.rfind("--", 0) == 0) {
      return {std::nullopt, "unknown option " + a};
    } else {
      o.steps.push_back({BatchStep::Kind::Command, a, 0});
    }
  }
  return {o, ""};
}

int BatchWaitAtEnd(const BatchOptions& options) {
  if (options.steps.empty() || options.steps.back().kind == BatchStep::Kind::Wait) return 0;
  int longest = 0;
  for (const BatchStep& step : options.steps)
    if (step.kind == BatchStep::Kind::Wait) longest = std::max(longest, step.seconds);
  return longest;
}

std::string BatchWorkLeftMessage(const BatchOptions& options, int queued) {
  bool waited = false;
  for (const BatchStep& step : options.steps) waited = waited || step.kind == BatchStep::Kind::Wait;
  const std::string left = "background work is still running or queued (" + std::to_string(queued) +
                           " queued) and ends with this program";
  return waited ? left + "; a longer --wait S lets it finish"
                : left + "; add --wait S after the command that queues it";
}

std::string BatchUsage() {
  return "usage: norvane-batch [OPTIONS] [COMMAND | --wait S]...\n"
         "Runs the Norvane main program without a window in the current (working) folder:\n"
         "start-up as the map program does, \"startup.nvs\", then each COMMAND as a typed line,\n"
         "in order; --wait S between commands keeps the one-second tick running until no\n"
         "background process is queued or running (at most S seconds). Work still queued\n"
         "after the last command is waited for as long as the longest --wait given.\n"
         "\n"
         "  --size WxH         size of the map picture (default: that of a 1600 x 1000 window)\n"
         "  --wait S           see above; may be given several times\n"
         "  --frames DIR       a LOOP after it writes its frames into DIR as frame-01.png ...\n"
         "                     (oldest first) and ends\n"
         "  --png FILE         the map picture as drawn, as PNG (the meteogram, after METEOGRAM)\n"
         "  --primitives FILE  every drawing call on the map since its last clear, one per line\n"
         "  --fixed-metrics    measure text as 0.6 x size per character by 1.5 x size\n"
         "  --log FILE         the output log as shown, newest first\n"
         "  --watch FILE       the watch box text as shown\n"
         "  --no-startup       do not run \"startup.nvs\"\n"
         "  --help             this text\n"
         "\n"
         "Exit status: 0 done, 1 refused (another copy holds the folder, a file cannot be\n"
         "written), 2 bad use, 3 background work (a download, a grid build) was still\n"
         "queued or running at the end.\n";
}

}  // namespace norvane
