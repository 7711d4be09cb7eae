#pragma once
// A process starter that runs Norvane's own children inside the test: `varnex` over
// a fetch that answers from a callback, and `tessal`, both on the same working
// folder and clock as the main program. A child lives one second per Step(), so the
// main program reads its heartbeats before its final status, as with real children.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/record_file.h"
#include "downloader/download_driver.h"
#include "grid/grid_builder_driver.h"
#include "platform/process_starter.h"

namespace norvane::testing {

class InProcessChildren : public ProcessStarter {
 public:
  // The body the server sends for an address; nothing makes the request fail.
  using Server = std::function<std::optional<std::string>(const std::string& address)>;

  // How one child ended: its command line and the text of its last status (empty
  // when it ended without one, for instance after losing the lock).
  struct Outcome {
    std::string commandLine;
    std::string finalStatus;
  };

  InProcessChildren(FileSystem& fs, const Clock& clock, Server server)
      : fs_(fs), clock_(clock), server_(std::move(server)) {}

  // The downloader's fetch completes on this second of its life.
  int fetchSecond = 2;

  std::vector<Outcome> ended;
  std::vector<std::string> refused;  // command lines naming no known program
  int overlaps = 0;                  // starts while another child still ran

  bool Start(const std::string& commandLine, WindowMode) override {
    const std::size_t blank = commandLine.find(' ');
    const std::string program = commandLine.substr(0, blank);
    const std::string arguments = blank == std::string::npos ? "" : commandLine.substr(blank + 1);
    if (!running_.empty()) ++overlaps;
    if (program == "varnex" || program == "varnex.exe") {
      auto child = std::make_unique<Download>(*this, commandLine);
      child->driver.Start(arguments);
      running_.push_back(std::move(child));
    } else if (program == "tessal" || program == "tessal.exe") {
      auto child = std::make_unique<GridBuild>(*this, commandLine, arguments);
      child->driver.Start();
      running_.push_back(std::move(child));
    } else {
      refused.push_back(commandLine);
      return false;
    }
    Reap();
    return true;
  }

  // One second of every running child.
  void Step() {
    for (auto& child : running_) child->Second();
    Reap();
  }
  // Steps until no child runs, at most `seconds` times.
  void RunToEnd(int seconds = 300) {
    for (int s = 0; s < seconds && !running_.empty(); ++s) Step();
  }
  bool Running() const { return !running_.empty(); }

 private:
  // A tiny deterministic generator: heartbeats only need to differ from second to second.
  class StepRandom : public RandomSource {
   public:
    void Seed(std::uint32_t seed) override { state_ = seed * 2654435761u + 1u; }
    double Next() override {
      state_ = state_ * 1664525u + 1013904223u;
      return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }

   private:
    std::uint32_t state_ = 1;
  };

  class ServedFetch : public HttpFetch {
   public:
    std::string address;
    std::optional<std::string> body;
    std::size_t read = 0;
    bool cancelled = false;
    void Start(const std::string& a) override { address = a; }
    void Cancel() override { cancelled = true; }
    int StatusCode() const override { return body ? 200 : 0; }
    std::optional<std::string> ReadChunk(std::size_t maxBytes) override {
      if (!body) return std::nullopt;
      std::string part = body->substr(read, maxBytes);
      read += part.size();
      return part;
    }
  };

  struct Child {
    explicit Child(std::string line) : commandLine(std::move(line)) {}
    virtual ~Child() = default;
    virtual void Second() = 0;
    virtual bool Ended() const = 0;
    virtual std::string StatusFile() const = 0;
    std::string commandLine;
    int age = 0;
  };

  struct Download : Child {
    Download(InProcessChildren& owner, const std::string& line)
        : Child(line), owner(owner), driver(owner.fs_, fetch, owner.clock_, random, DriverHost{}) {}
    void Second() override {
      if (driver.Ended()) return;
      ++age;
      driver.Tick();
      if (driver.Ended() || age != owner.fetchSecond || fetch.cancelled) return;
      fetch.body = owner.server_(fetch.address);
      if (fetch.body) driver.OnFetchComplete();
      else driver.OnFetchFailed();
    }
    bool Ended() const override { return driver.Ended(); }
    std::string StatusFile() const override { return "d" + driver.ProcessNumber() + ".pid"; }
    InProcessChildren& owner;
    StepRandom random;
    ServedFetch fetch;
    DownloadDriver driver;
  };

  struct GridBuild : Child {
    GridBuild(InProcessChildren& owner, const std::string& line, const std::string& arguments)
        : Child(line), driver(owner.fs_, owner.clock_, random, arguments, Hooks()) {}
    static GridBuilderDriver::Hooks Hooks() {
      GridBuilderDriver::Hooks hooks;
      // The clock stands still inside a step: a wait that polls it would never end.
      hooks.shortWait = [] {};
      return hooks;
    }
    void Second() override {
      if (driver.Ended()) return;
      ++age;
      driver.Tick(1000);
    }
    bool Ended() const override { return driver.Ended(); }
    std::string StatusFile() const override { return "g" + driver.ProcessNumber() + ".pid"; }
    StepRandom random;
    GridBuilderDriver driver;
  };

  // Ended children leave their status file for the main program; note what it says.
  void Reap() {
    for (auto it = running_.begin(); it != running_.end();) {
      if (!(*it)->Ended()) {
        ++it;
        continue;
      }
      Outcome outcome{(*it)->commandLine, ""};
      if (auto bytes = fs_.ReadAll((*it)->StatusFile())) {
        RecordReader reader(*bytes);
        reader.NextBool();
        if (reader.NextBool().value_or(false)) outcome.finalStatus = reader.NextText().value_or("");
      }
      ended.push_back(std::move(outcome));
      it = running_.erase(it);
    }
  }

  FileSystem& fs_;
  const Clock& clock_;
  Server server_;
  std::vector<std::unique_ptr<Child>> running_;
};

}  // namespace norvane::testing
