// Batch conversion: an SMD reference and its animations become one X file, by running the
// same commands as the menu and answering their questions by a fixed, documented policy.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/export_command.h"
#include "app/user_interaction.h"

namespace toravel {

enum ExitCode : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

struct AnimationInput {
    std::string path;
    std::optional<std::string> setName;  // default: the file's stem
};

struct ConvertRequest {
    std::string reference;
    std::vector<AnimationInput> animations;
    std::string output;              // default: the reference's path with the extension .x
    bool force = false;              // replace an existing output
    bool allowIncompatible = false;  // add sets that animate frames the reference lacks
    bool verbose = false;            // show the loaders' progress lines
    bool strictX = false;            // read X inputs with the strict reader and its messages
    bool quiet = false;              // no summary line after a successful conversion
    bool progress = false;           // a self-updating progress line for inputs larger than 32 MB
    ExportOptions exportOptions;
    unsigned threads = 1;  // threads that read and write large files; the bytes are the same
};

// The line printed after a successful conversion: what was written, its size and the time.
struct WriteSummary {
    std::string output;
    size_t frames = 0;
    size_t meshes = 0;
    size_t faces = 0;
    size_t bones = 0;
    size_t sets = 0;
    uintmax_t bytes = 0;
    double seconds = 0;
};
std::string SummaryLine(const WriteSummary& summary);
// "412 KB", "1.2 MB"
std::string SizeText(uintmax_t bytes);

// The output path for `reference` when none is given: its extension replaced by ".x".
std::string DefaultOutputPath(const std::string& reference);

// Checks an output before anything is read: one that names the same file as any of `inputs`
// is refused (kExitUsage, whatever `force` says), an existing one without `force` too
// (kExitFailed); the refusal goes to `messages`. kExitDone when it may be written.
ExitCode CheckOutputPath(const std::string& output, const std::vector<std::string>& inputs,
                         bool force, std::ostream& messages);

// Runs the conversion; messages go to `messages` as their title and text. Returns an ExitCode.
// Nothing is written unless the whole conversion succeeds, and never over one of the inputs
// (kExitUsage, before anything is read).
int RunConvert(const ConvertRequest& request, std::ostream& messages);

// The X document that RunConvert would write for `request` (its output and the refusals
// about it aside), in memory; nothing after the failure's messages.
std::optional<std::string> ConvertInMemory(const ConvertRequest& request, std::ostream& messages);

}  // namespace toravel
