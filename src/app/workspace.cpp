#include "app/workspace.h"

#include <cassert>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "app/compatibility.h"
#include "scene/names.h"

namespace toravel {

namespace {

// The parts of the questions that depend on the source document's kind.
struct SourceTexts {
    const char* setAnyway;
    const char* renameMiddle;  // between the set name and the end of the rename question
    const char* discontinue;
    const char* addAnywayPrefix;  // before the set name in the add-anyway question
};

const SourceTexts& TextsFor(SourceKind kind) {
    static const SourceTexts kSmd{
        "Set primary animation sets to SMD animation anyway?",
        " already exists in primary set.\nRename the SMD animation?\n"
        "If NO, additions will not continue.",
        "Discontinue the addition of SMD animation sets?",
        "Add SMD animation ",
    };
    static const SourceTexts kXFile{
        "Set primary animation sets to X File animation(s) anyway?",
        " already exists in primary set.\nRename the X File animation?\n"
        "If NO, additions will not continue.",
        "Discontinue the addition of X File animation sets?",
        "Add X File animation ",
    };
    return kind == SourceKind::kSmd ? kSmd : kXFile;
}

constexpr const char* kClearTitle = "Clear Current Data?";
constexpr const char* kContinueTitle = "Continue?";

bool AskClearNodes(UserInteraction& ui) {
    return ui.AskYesNo({QuestionId::kClearPrimaryNodes, kClearTitle,
                        "The current primary node set will be cleared.\nContinue?", true});
}

bool AskClearSets(UserInteraction& ui) {
    return ui.AskYesNo({QuestionId::kClearPrimarySets, kClearTitle,
                        "The current primary animation sets will be cleared.\nContinue?", true});
}

bool AskSaveNow(UserInteraction& ui) {
    return ui.AskYesNo({QuestionId::kSaveBeforeReplacing, "Output Current Data?",
                        "The current primary data has not been written to an X file.\nSave It Now?",
                        true});
}

bool AskRename(const SourceTexts& texts, const std::string& name, UserInteraction& ui) {
    std::string text = "Animation Set with name ";
    text += name;
    text += texts.renameMiddle;
    return ui.AskYesNo({QuestionId::kRenameSet, "Rename?", std::move(text), true, name});
}

bool AskDiscontinue(const SourceTexts& texts, UserInteraction& ui) {
    return ui.AskYesNo({QuestionId::kDiscontinueAddition, "Discontinue?", texts.discontinue});
}

bool AskAddAnyway(const SourceTexts& texts, const std::string& name, UserInteraction& ui) {
    std::string text = texts.addAnywayPrefix;
    text += name;
    text += " to primary animation sets anyway?";
    return ui.AskYesNo({QuestionId::kAddSetAnyway, kContinueTitle, std::move(text), false, name});
}

// Makes the set's name one that the X file can hold (FixXName), telling the user the name
// that will be used when it changes.
void FixSetName(std::string& name, UserInteraction& ui) {
    const std::string original = name;
    if (FixXName(name)) {
        ui.ShowMessage({NoticeId::kSetNameFixed, "Renamed",
                        "The animation set name \"" + original +
                            "\" holds characters that X file names cannot hold; the set is "
                            "named " +
                            name + ".",
                        name});
    }
}

// Leads the user through renaming `set` until its name is free. False when the user stops
// the command.
bool ResolveNameConflict(const std::unordered_set<std::string>& taken, AnimSet& set,
                         const SourceTexts& texts, UserInteraction& ui) {
    while (taken.count(set.name) != 0) {
        if (!AskRename(texts, set.name, ui)) {
            return false;
        }
        std::optional<std::string> newName =
            ui.AskAnimSetName({NamePromptId::kRenameSet, set.name, 0});
        if (!newName) {
            if (AskDiscontinue(texts, ui)) {
                return false;
            }
            continue;  // the name is still taken: ask again
        }
        set.name = std::move(*newName);
        FixSetName(set.name, ui);
    }
    return true;
}

// Ensures that the next push_back cannot reallocate, growing geometrically.
template <typename Vector>
void MakeRoomForOne(Vector& v) {
    if (v.size() == v.capacity()) {
        v.reserve(v.empty() ? 4 : 2 * v.capacity());
    }
}

}  // namespace

bool IsAnimSetNameFree(const Workspace& ws, std::string_view name) {
    for (const AnimSet& set : ws.primaryAnimSets) {
        if (set.name == name) {
            return false;
        }
    }
    return true;
}

void SetPrimaryNodes(Workspace& ws, NodeList nodes, std::string_view sourceFileName,
                     UserInteraction& ui, const std::function<void()>& saveNow) {
    if (!ws.primaryNodes.empty()) {
        if (!AskClearNodes(ui)) {
            return;
        }
        if (!ws.primariesSaved && AskSaveNow(ui) && saveNow) {
            saveNow();
        }
    }
    // `nodes` is a copy already (or moved in by a caller that no longer needs it); copy the name
    // before touching anything, as it may be the workspace's own field.
    std::string source(sourceFileName);
    ws.primaryNodes = std::move(nodes);
    ws.primariesSaved = false;
    ws.primarySource = std::move(source);

    // The sets do not change while they are checked, so the old flags describe them until the
    // fresh list is complete.
    std::vector<bool> fresh;
    fresh.reserve(ws.primaryAnimSets.size());
    CompatibilityCheck check(ws.primaryNodes);
    for (const AnimSet& set : ws.primaryAnimSets) {
        fresh.push_back(check.Run(set, ui));
    }
    ws.compatibility = std::move(fresh);
}

void SetPrimaryAnimSets(Workspace& ws, const std::vector<AnimSet>& sets, SourceKind kind,
                        UserInteraction& ui) {
    if (sets.empty()) {
        return;
    }
    if (!ws.primaryAnimSets.empty() && !AskClearSets(ui)) {
        return;
    }
    // Nothing in the workspace changes until every check is done, so the old sets and flags
    // stay consistent while the checks ask their questions.
    std::vector<AnimSet> copies = sets;
    for (AnimSet& copy : copies) {
        FixSetName(copy.name, ui);
    }
    std::vector<bool> flags;
    flags.reserve(copies.size());
    CompatibilityCheck check(ws.primaryNodes);
    flags.push_back(check.Run(copies[0], ui));
    if (!flags[0] &&
        !ui.AskYesNo({QuestionId::kSetSetsAnyway, kContinueTitle, TextsFor(kind).setAnyway})) {
        return;
    }
    for (size_t i = 1; i < copies.size(); ++i) {
        flags.push_back(check.Run(copies[i], ui));
    }
    ws.primaryAnimSets = std::move(copies);
    ws.compatibility = std::move(flags);
    ws.primariesSaved = false;
}

void AddAnimSets(Workspace& ws, std::vector<AnimSet>& sets, SourceKind kind, UserInteraction& ui,
                 SetTransfer transfer) {
    assert(&sets != &ws.primaryAnimSets);
    const SourceTexts& texts = TextsFor(kind);
    // Commands never overlap, so the primaries change only here while this runs: the names
    // and the node index are built once, not once per set.
    std::unordered_set<std::string> taken;
    for (const AnimSet& set : ws.primaryAnimSets) {
        taken.insert(set.name);
    }
    CompatibilityCheck check(ws.primaryNodes);
    for (AnimSet& set : sets) {
        FixSetName(set.name, ui);
        if (!ResolveNameConflict(taken, set, texts, ui)) {
            return;
        }
        const bool compatible = check.Run(set, ui);
        if (!compatible && !AskAddAnyway(texts, set.name, ui)) {
            return;
        }
        // Flag and set go in together, so no prompt ever sees one without the other; the
        // copy and the room for both are made first, so a failed allocation leaves neither.
        AnimSet copy = transfer == SetTransfer::kMove ? std::move(set) : set;
        MakeRoomForOne(ws.compatibility);
        MakeRoomForOne(ws.primaryAnimSets);
        ws.compatibility.push_back(compatible);
        ws.primaryAnimSets.push_back(std::move(copy));
        taken.insert(ws.primaryAnimSets.back().name);
        ws.primariesSaved = false;
    }
}

}  // namespace toravel
