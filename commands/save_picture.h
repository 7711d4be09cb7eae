#pragma once
// SAVEPIC: the map picture as a JPEG file, made by the outside encoder "cjpeg" from a
// bitmap of the map.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/reporter.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/program_runner.h"

namespace norvane {

inline constexpr const char* kPictureEncoder = "cjpeg";
// How long the encoder may take, and how long SAVEPIC waits for a running redraw.
constexpr double kEncoderTimeoutSeconds = 60;
constexpr double kRedrawWaitSeconds = 10;

// A picture name is a plain file name in the working folder: letters, digits, "_"
// and "-", at most 64 of them. Anything else could name another folder, or a file the
// program never meant to replace.
bool IsPlainPictureName(std::string_view name);

// The encoder's arguments, handed to it one by one. The output goes to the twin
// (name + ".jpg.tmp") with -outfile, which every cjpeg understands, so that an encoder
// that fails half-way never leaves a broken name + ".jpg".
std::vector<std::string> EncoderArguments(const std::string& name, const std::string& quality);

struct SavePictureHost {
  std::function<bool()> redrawRunning;
  std::function<void()> processEvents;
  // The map window's picture as the bytes of a ".bmp" file; nothing when there is none.
  std::function<std::optional<std::string>()> mapBitmap;
};

// SAVEPIC with the name and quality the interpreter settled ("out" and "70" by
// default): waits (bounded) for a running redraw, writes name + ".bmp", runs the
// encoder with a bounded wait, checks its exit status and a non-empty result, and
// renames the twin over name + ".jpg". On success the bitmap is deleted and
// name + ".jpg was written to the harddrive" is logged; on failure the old ".jpg" is
// left as it was, the bitmap is kept and a message says so. True on success.
bool SavePicture(FileSystem& fs, ProgramRunner& runner, const Clock& clock, Reporter& log, SavePictureHost& host,
                 const std::string& name, const std::string& quality);

}  // namespace norvane
