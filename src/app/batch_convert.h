// Batch conversion: an SMD reference and its animations become one X file, by running the
// same commands as the menu and answering their questions by a fixed, documented policy.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/export_command.h"

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
    ExportOptions exportOptions;
};

// The output path for `reference` when none is given: its extension replaced by ".x".
std::string DefaultOutputPath(const std::string& reference);

// The first of `inputs` that names the same file as `output`, if any.
std::optional<std::string> InputNamedBy(const std::string& output,
                                        const std::vector<std::string>& inputs);
// "Output Is An Input: ..." for a refused output.
std::string OutputIsInputMessage(const std::string& output, const std::string& input);

// Runs the conversion; messages go to `messages` as their title and text. Returns an ExitCode.
// Nothing is written unless the whole conversion succeeds, and never over one of the inputs
// (kExitUsage, before anything is read).
int RunConvert(const ConvertRequest& request, std::ostream& messages);

}  // namespace toravel
