// The "Load SMD Reference File" and "Load SMD Animation File" commands: the open dialog, the
// open and discard steps, the reading steps with their progress lines and messages, and the
// name dialog of a new animation set.
#pragma once

#include "app/documents.h"
#include "app/user_interaction.h"

namespace toravel {

// The menu commands: ask for a file and load it; true when a file was loaded.
bool LoadSmdReference(SmdReference& doc, UserInteraction& ui, StatusLog& log);
bool LoadSmdAnimation(SmdAnimation& doc, UserInteraction& ui, StatusLog& log);

// The commands from their open step on, for callers that already have a path. The triangles
// of a large reference are read on `readThreads` threads; the document is the same.
bool LoadSmdReferenceFile(SmdReference& doc, const FileChoice& file, UserInteraction& ui,
                          StatusLog& log, unsigned readThreads = 1);
bool LoadSmdAnimationFile(SmdAnimation& doc, const FileChoice& file, UserInteraction& ui,
                          StatusLog& log);

// Asks for the set's name and appends the set built from the document's nodes to animSets;
// false, showing nothing, when the user cancels.
bool CreateAnimSet(SmdAnimation& doc, const FileChoice& file, UserInteraction& ui);

}  // namespace toravel
