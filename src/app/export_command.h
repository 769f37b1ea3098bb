// Exporting the primaries as a text X file: the frame hierarchy of the primary nodes followed
// by every primary animation set.
#pragma once

#include "app/user_interaction.h"
#include "app/workspace.h"
#include "xfile/x_writer.h"

namespace toravel {

// The export command. Asks for the file, writes the primaries to a temporary file beside it
// and renames that over the target once complete, so a failed export never destroys an
// existing file. True when the file was written; the workspace then records its name.
bool ExportPrimaries(Workspace& workspace, bool nonAnimated, UserInteraction& ui,
                     const ExportOptions& options = {});

}  // namespace toravel
