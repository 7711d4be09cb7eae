#pragma once
#include <optional>
#include <string>

#include "platform/color.h"

namespace norvane {

enum class BoxStyle { Information, Exclamation, Critical, YesNoQuestion };
enum class BoxAnswer { Ok, Yes, No };

// Modal message boxes, the beep and the colour chooser.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxStyle style) = 0;
  virtual void Beep() = 0;
  // Returns the chosen colour, or nothing when the user cancels.
  virtual std::optional<Color> ChooseColor(Color preset) = 0;
};

}  // namespace norvane
