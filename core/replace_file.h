#pragma once
#include <string>

#include "platform/file_system.h"

namespace norvane {

// Replaces `target` with `contents`: writes the twin completely, then renames it
// over the target in one step. The old file is never deleted first, so a failed
// write or rename leaves it byte for byte as it was. Returns false on failure
// (the twin is removed again). The twin's data is synced before the rename and the
// folder after it, so a power cut leaves the old file or the new one.
bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents,
                 const std::string& twin);
// The folder part of a working-folder name ("" for the working folder itself).
std::string FolderOf(const std::string& name);
// Same, with the twin named target + ".tmp".
bool ReplaceFile(FileSystem& fs, const std::string& target, const std::string& contents);

}  // namespace norvane
