#pragma once
// Windows bitmap files (uncompressed 24-bit, and 8-bit with a palette) to and from Image.
#include <optional>
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace norvane {

// Decodes a .bmp file's bytes. Nothing (and a reason in `error`) for anything that is
// not a complete uncompressed 24- or 8-bit bitmap of a sensible size.
std::optional<Image> ReadBmp(std::string_view bytes, std::string* error = nullptr);

// Encodes an image as an uncompressed bottom-up 24-bit bitmap.
std::string WriteBmp24(const Image& image);

}  // namespace norvane
