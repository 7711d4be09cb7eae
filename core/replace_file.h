#pragma once
#include <string>

#include "platform/file_system.h"

namespace norvane {

// Replaces `target` with `contents`: writes the twin completely, then renames it
// over the target in one step. The old file is never deleted first, so a failed
// write or rename leaves it byte for byte as it was. Returns false on failure
// (the twin is removed again).
bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents,
                 const std::string& twin);
// Same, with the twin named target + ".tmp".
bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents);

}  // namespace norvane
