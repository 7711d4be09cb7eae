#pragma once
#include <string>

#include "platform/file_system.h"

namespace norvane {

// Start-up housekeeping of the working folder: creates "obsfolder" and "scripts"
// and removes the hand-off files of the previous run ("lock.zzz", "*.pid",
// "scripts/redraw.nvs"). Returns false when the folders cannot be created.
bool PrepareWorkingFolder(FileSystem& fs);

// Deletes every file of the working folder matching a wildcard; errors are ignored.
void RemoveMatching(FileSystem& fs, const std::string& folder, const std::string& pattern);

}  // namespace norvane
