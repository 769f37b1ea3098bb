// Exporting the primaries as a text X file: the frame hierarchy of the primary nodes followed
// by every primary animation set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/user_interaction.h"
#include "app/workspace.h"
#include "text/text_writer.h"

namespace toravel {

// Additions that consumers of X files may need; the menu export writes neither.
struct ExportOptions {
    // Writes an AnimTicksPerSecond block after the header; SMD key times run at 1000 ticks a
    // frame, so 30 frames a second is 30000.
    std::optional<uint32_t> ticksPerSecond;
    // Writes the standard template declarations after the header.
    bool templates = false;
};

// The export command. Asks for the file, writes the primaries to a temporary file beside it
// and renames that over the target once complete, so a failed export never destroys an
// existing file. True when the file was written; the workspace then records its name.
bool ExportPrimaries(Workspace& workspace, bool nonAnimated, UserInteraction& ui,
                     const ExportOptions& options = {});

// Writes the whole X document of the primaries. False, with nothing written, when the nodes
// have no single skeleton root (SelectSkeletonRoot has shown its message).
bool WritePrimaries(TextWriter& out, const Workspace& workspace, UserInteraction& ui,
                    const ExportOptions& options);

// The standard template declarations of the text X format that the writer uses.
std::string_view StandardTemplates();

}  // namespace toravel
