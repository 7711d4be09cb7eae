#pragma once
#include <QString>

namespace norvane {

// The working folder of a start from the desktop ("NorvaneApp --home"), where
// there is no folder of the user's choosing: "Norvane" in the home folder.
QString DefaultWorkingFolder();

// Makes `folder` ready from the shipped data, as norvane-workdir does, keeping the
// default servers. Returns an empty text on success, otherwise why it failed.
QString MakeDefaultWorkingFolderReady(const QString& folder);

}  // namespace norvane
