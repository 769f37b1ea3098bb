// The "Load X File" command: file choice, open, discard question, the strict reader's two
// phases with the question for unnamed sets, and the two optional debug dumps.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/documents.h"
#include "app/user_interaction.h"

namespace toravel {

// Where the debug channel's trace lines go; empty on platforms without one.
using DebugTrace = std::function<void(std::string_view)>;

// Which reader a load uses: the strict one (the layout Toravel writes, with its messages and
// the hierarchy dump between frames and sets), or the general one (every layout, binary and
// compressed files; its messages name the file and the place).
enum class XReaderKind { kStrict, kGeneral };

// The menu command: asks for a file ("DirectX X Files (*.x)", "All files (*.*)") and loads
// it. True when the file was read to the end.
bool LoadXFile(XFileReader& doc, UserInteraction& ui, const DebugTrace& trace = {},
               XReaderKind reader = XReaderKind::kStrict);

// The command from the open step on, for a file already chosen.
bool LoadXFileFrom(XFileReader& doc, const FileChoice& file, UserInteraction& ui,
                   const DebugTrace& trace = {}, XReaderKind reader = XReaderKind::kStrict);

// Where the two debug dumps go: "f:\<name>" on Windows, the temporary folder elsewhere.
std::string XDumpPath(const std::string& name);

}  // namespace toravel
