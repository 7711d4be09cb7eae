#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace norvane::testing {

// Records every box shown and answers with scripted answers (Ok when none left).
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown { std::string text, title; BoxStyle style; };
  std::vector<Shown> shown;
  std::deque<BoxAnswer> answers;
  std::optional<Color> colorAnswer;
  int beeps = 0;
  BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxStyle style) override {
    shown.push_back({text, title, style});
    if (answers.empty()) return BoxAnswer::Ok;
    BoxAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void Beep() override { ++beeps; }
  std::optional<Color> ChooseColor(Color) override { return colorAnswer; }
};

}  // namespace norvane::testing
