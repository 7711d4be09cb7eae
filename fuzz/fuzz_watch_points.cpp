// Any bytes as "watch.dat": the point reader keeps what is readable, never fails, and
// every list it returns saves and reads back the same; the editor opens on it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/scripted_dialogs.h"
#include "watch/points_editor.h"
#include "watch/points_of_interest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const norvane::PointsRead read = norvane::ReadPoints(bytes, 50);
  if (read.points.size() > 50) std::abort();
  // Names that went through the editor hold no quote or control character; those
  // read back exactly.
  norvane::testing::MemoryFileSystem fs;
  fs.files["watch.dat"] = bytes;
  norvane::testing::ScriptedDialogs dialogs;
  norvane::PointsEditor editor(fs, dialogs);
  if (editor.PointCount() > 0) {
    editor.SelectRow(0);
    if (!editor.Ok(fs)) std::abort();
    const norvane::PointsRead again = norvane::ReadPoints(fs.files.at("watch.dat"));
    if (again.points != editor.Points() || again.skipped != 0) std::abort();
  }
  return 0;
}
