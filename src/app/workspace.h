// The Workspace: the primaries (the node set and the animation sets that an X export
// writes), one compatibility flag per primary set, and whether the primaries have been
// exported. Its commands copy nodes or sets out of a loaded document, check every set
// against the primary nodes, and ask the user before anything is cleared or combined.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interaction.h"
#include "scene/records.h"

namespace toravel {

// The kind of document a command takes its data from; it selects the wording of the
// questions ("SMD animation" or "X File animation").
enum class SourceKind { kSmd, kXFile };

struct Workspace {
    NodeList primaryNodes;  // a deep copy of a document's node list
    std::vector<AnimSet> primaryAnimSets;
    // compatibility[j] is the check result of primaryAnimSets[j] against primaryNodes as they
    // were when it was computed. Holds one flag per set whenever a prompt is on screen and
    // whenever a command returns, so a repaint in the middle of a command stays consistent.
    std::vector<bool> compatibility;
    bool primariesSaved = false;  // true only from a successful export until the next change
    std::string primarySource;    // file name (no folder) that primaryNodes came from
    std::string exportedName;     // file name (no folder) of the last successful export
};

// True when no primary animation set has exactly this name (byte for byte; two empty names
// are equal).
bool IsAnimSetNameFree(const Workspace& ws, std::string_view name);

// Makes a copy of `nodes` the primary nodes and checks every primary set against them
// afresh. Asks before replacing existing nodes; when the current primaries have not been
// exported, offers to save them first: a Yes calls `saveNow` (which runs the export the
// caller chooses) and the command goes on either way. `saveNow` may be empty. Callers that
// no longer need their nodes may move them in.
void SetPrimaryNodes(Workspace& ws, NodeList nodes, std::string_view sourceFileName,
                     UserInteraction& ui, const std::function<void()>& saveNow);

// Replaces the primary sets with copies of `sets`, after asking before clearing existing
// ones and, when the first set does not fit the primary nodes, whether to set them anyway.
// A copy whose name X files cannot hold is renamed by FixXName, with a notice.
// An empty `sets` does nothing and asks nothing: the menu never offers the command then, and
// clearing the primaries without putting anything in their place is no command of its own.
void SetPrimaryAnimSets(Workspace& ws, const std::vector<AnimSet>& sets, SourceKind kind,
                        UserInteraction& ui);

// Appends copies of `sets` to the primary sets, one by one. A name that X files cannot hold is
// first fixed by FixXName, with a notice. A set whose name is taken is renamed through the
// name dialog; the new name is written into `sets` itself (the source
// document's list), and stays there even when the command stops later. A set that does not
// fit the primary nodes is appended only when the user agrees. A No stops the command; the
// sets appended before it stay. `sets` must not be ws.primaryAnimSets. With
// SetTransfer::kMove the appended sets are moved out of `sets` instead of copied, for batch
// runs that never use the source document again.
enum class SetTransfer { kCopy, kMove };
void AddAnimSets(Workspace& ws, std::vector<AnimSet>& sets, SourceKind kind, UserInteraction& ui,
                 SetTransfer transfer = SetTransfer::kCopy);

}  // namespace toravel
