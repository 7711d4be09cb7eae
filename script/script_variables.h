#pragma once
#include <array>
#include <string>
#include <string_view>

namespace norvane {

// A fixed table of 501 named numbers; an entry with an empty name is free.
// Lookups take the first entry whose name is equal, as scripts rely on.
class VariableTable {
 public:
  static constexpr int kSize = 501;
  struct Entry {
    std::string name;
    double value = 0;
  };

  const Entry* Find(std::string_view name) const {
    for (const Entry& e : entries_)
      if (!e.name.empty() && e.name == name) return &e;
    return nullptr;
  }
  // Stores under the name, taking the first free entry for a new name.
  // False when the name is new and the table is full.
  bool Store(std::string_view name, double value) {
    Entry* freeEntry = nullptr;
    for (Entry& e : entries_) {
      if (e.name.empty()) {
        if (!freeEntry) freeEntry = &e;
      } else if (e.name == name) {
        e.value = value;
        return true;
      }
    }
    if (!freeEntry) return false;
    freeEntry->name = std::string(name);
    freeEntry->value = value;
    return true;
  }
  void Kill(std::string_view name) {
    for (Entry& e : entries_)
      if (!e.name.empty() && e.name == name) {
        e.name.clear();
        e.value = 0;
        return;
      }
  }
  const std::array<Entry, kSize>& Entries() const { return entries_; }

 private:
  std::array<Entry, kSize> entries_{};
};

// Shared by every script for as long as the main program runs; owned by the caller.
using GlobalVariables = VariableTable;
// Created empty for each run of a script.
using LocalVariables = VariableTable;

}  // namespace norvane
