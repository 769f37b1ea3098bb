// The toravel command line: argument parsing only; the work is done by the core library.

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdlib>
#include <fstream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <iostream>

#include "app/batch_convert.h"
#include "app/console_session.h"
#include "app/model_info.h"
#include "app/static_export_job.h"

namespace {

#if defined(_WIN32)
#include <io.h>
bool IsTerminal(int fd) {
    return _isatty(fd) != 0;
}
#else
#include <unistd.h>
bool IsTerminal(int fd) {
    return isatty(fd) != 0;
}
#endif

constexpr const char* kShellHelp =
    R"(Runs Toravel at a terminal: the status display, the menu and every command.

Enter a command by its number or its menu text ("32771" or "Load SMD Reference File");
"menu" lists the commands, "status" shows the status, "Exit" or the end of input ends the
session. Questions take y or n; notices wait for Enter; file prompts take a path (an empty
answer cancels; a saved name without extension gets ".x"); the name prompt takes a set name
(":cancel" cancels).

With --script FILE, or when standard input is not a terminal, the session reads its commands
and answers from the script, one per line, and echoes a transcript of every prompt with its
answer. Notices do not wait then. A script that ends while a prompt waits for its answer
fails with exit code 1.)";

constexpr const char* kStaticHelp = R"(Saves the triangles of an SMD file as a static mesh X file.

The mesh gets one attribute group and one material per texture name, faces sorted by group
and reordered for the vertex cache. An existing output is replaced only with --force.

Exit codes: 0 done, 1 export failed, 2 usage error.)";

constexpr const char* kConvertHelp =
    R"(Converts an SMD reference and its SMD animations into one text X file.

The first input is the reference (bind-pose skeleton with its skinned mesh); every further
input is an animation, added as one animation set in the order given. A set is named after
its file's stem ("walk.smd" gives "walk") unless --name gives names: the first --name names
the first animation, the second the second, and so on. A name that is already taken gets the
first free name of the form NAME_2, NAME_3, ... and a notice.

An animation that animates frames the reference lacks lists every missing frame and fails
the conversion, unless --allow-incompatible adds it anyway. Nothing is written when the
conversion fails, and an existing output is replaced only with --force.

Exit codes: 0 done, 1 conversion failed, 2 usage error.)";

constexpr const char* kInfoHelp =
    R"(Describes SMD and X files (X files of any layout, binary or compressed): the skeleton as a
tree, each mesh with its vertices, faces, materials, textures and bones, each animation set
with the frames it animates, its key types, keys and time range, and what the reader left
out. With --reference, every set is checked against the reference's frames.

Exit codes: 0 every file described, 1 a file could not be read, 2 usage error.)";

int RunInfo(const std::vector<std::string>& files, const std::string& reference, bool json) {
    std::optional<toravel::NodeList> referenceNodes;
    if (!reference.empty()) {
        std::string error;
        referenceNodes = toravel::ReadReferenceNodes(reference, error);
        if (!referenceNodes) {
            std::cerr << error << '\n';
            return toravel::kExitFailed;
        }
    }
    std::vector<toravel::ModelInfoOutcome> outcomes;
    bool allRead = true;
    for (const std::string& file : files) {
        toravel::ModelInfoOutcome& outcome = outcomes.emplace_back();
        outcome.file = file;
        outcome.info = toravel::DescribeModel(file, referenceNodes ? &*referenceNodes : nullptr,
                                              reference, outcome.error);
        allRead = allRead && outcome.info.has_value();
        if (!json) {
            if (outcome.info) {
                toravel::PrintModelInfo(std::cout, *outcome.info);
            } else {
                std::cerr << outcome.error << '\n';
            }
        }
    }
    if (json) {
        std::cout << toravel::ModelInfoJson(outcomes);
    }
    return allRead ? toravel::kExitDone : toravel::kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // Large meshes grow by reallocation; keeping freed blocks in the heap instead of returning
    // them to the system saves the page faults of touching fresh memory again.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
#ifdef SIGXFSZ
    // A file size limit must surface as a write error, not kill the process mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    CLI::App app{"Toravel converts skeletal models between SMD and DirectX text X files."};
    app.set_version_flag("--version", std::string("toravel ") + TORAVEL_VERSION);
    app.require_subcommand(1);

    toravel::ConvertRequest convert;
    std::vector<std::string> inputs;
    std::vector<std::string> names;
    uint32_t ticksPerSecond = 0;
    CLI::App* convertCommand = app.add_subcommand("convert", kConvertHelp);
    convertCommand->add_option("inputs", inputs, "REFERENCE.smd [ANIMATION.smd ...]")->required();
    convertCommand->add_option("-o,--output", convert.output,
                               "The X file to write (default: the reference with extension .x)");
    // One value per occurrence, so that inputs after a --name stay inputs.
    convertCommand
        ->add_option("-n,--name", names,
                     "Animation set name for the next animation input, in order")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    convertCommand->add_flag("-f,--force", convert.force, "Replace an existing output file");
    convertCommand->add_flag("--allow-incompatible", convert.allowIncompatible,
                             "Add animation sets that animate frames the reference lacks");
    convertCommand->add_flag("-v,--verbose", convert.verbose, "Show the loaders' progress lines");
    CLI::Option* ticksOption =
        convertCommand
            ->add_option("--ticks-per-second", ticksPerSecond,
                         "Write an AnimTicksPerSecond block (SMD keys advance 1000 ticks a "
                         "frame: 30 frames a second is 30000)")
            ->check(CLI::PositiveNumber);
    convertCommand->add_flag("--templates", convert.exportOptions.templates,
                             "Write the standard template declarations after the header");
    convertCommand->add_flag("--strict-x", convert.strictX,
                             "Read X inputs with the strict reader (Toravel's own layout only) "
                             "and its messages");

    std::string scriptPath;
    bool noColour = false;
    CLI::App* shellCommand = app.add_subcommand("shell", kShellHelp);
    shellCommand->add_option("--script", scriptPath, "Read commands and answers from FILE");
    shellCommand->add_flag("--no-color", noColour, "Plain text, without colours");
    bool generalX = false;
    shellCommand->add_flag("--general-x", generalX,
                           "\"Load X File\" reads every X layout, binary and compressed files");

    std::string staticInput;
    std::string staticOutput;
    bool staticForce = false;
    CLI::App* staticCommand = app.add_subcommand("static", kStaticHelp);
    staticCommand->add_option("input", staticInput, "The SMD file")->required();
    staticCommand->add_option("-o,--output", staticOutput,
                              "The X file to write (default: the input with extension .x)");
    staticCommand->add_flag("-f,--force", staticForce, "Replace an existing output file");

    std::vector<std::string> infoFiles;
    std::string infoReference;
    bool infoJson = false;
    CLI::App* infoCommand = app.add_subcommand("info", kInfoHelp);
    infoCommand->add_option("files", infoFiles, "SMD or X files")->required();
    infoCommand->add_option("--reference", infoReference,
                            "Check every animation set against this reference (SMD or X)");
    infoCommand->add_flag("--json", infoJson, "Print one JSON document");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? toravel::kExitDone : toravel::kExitUsage;
    }

    if (convertCommand->parsed()) {
        if (names.size() + 1 > inputs.size()) {
            std::cerr << "toravel convert: more --name options than animation inputs\n";
            return toravel::kExitUsage;
        }
        for (const std::string& name : names) {
            if (name.empty()) {
                std::cerr << "toravel convert: an animation set name must not be empty\n";
                return toravel::kExitUsage;
            }
        }
        convert.reference = inputs.front();
        for (size_t i = 1; i < inputs.size(); ++i) {
            toravel::AnimationInput input{inputs[i], std::nullopt};
            if (i - 1 < names.size()) {
                input.setName = names[i - 1];
            }
            convert.animations.push_back(std::move(input));
        }
        if (ticksOption->count() > 0) {
            convert.exportOptions.ticksPerSecond = ticksPerSecond;
        }
        return toravel::RunConvert(convert, std::cerr);
    }
    if (shellCommand->parsed()) {
        toravel::ConsoleOptions options;
        options.generalX = generalX;
        const char* term = std::getenv("TERM");
        options.colour =
            !noColour && IsTerminal(1) && term != nullptr && std::string(term) != "dumb";
        if (!scriptPath.empty()) {
            std::ifstream script(scriptPath);
            if (!script) {
                std::cerr << "toravel shell: cannot open the script " << scriptPath << '\n';
                return toravel::kExitUsage;
            }
            options.script = true;
            return toravel::RunConsoleSession(script, std::cout, options);
        }
        options.script = !IsTerminal(0);
        return toravel::RunConsoleSession(std::cin, std::cout, options);
    }
    if (infoCommand->parsed()) {
        return RunInfo(infoFiles, infoReference, infoJson);
    }
    if (staticCommand->parsed()) {
        return toravel::RunStaticExport(staticInput, staticOutput, staticForce, std::cerr);
    }
    return toravel::kExitUsage;
}
