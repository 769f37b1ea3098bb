// The toravel command line: argument parsing only; the work is done by the core library.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <fstream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <iostream>
#include <sstream>

#include "app/batch_convert.h"
#include "app/console_session.h"
#include "app/model_info.h"
#include "app/preview_command.h"
#include "app/static_export_job.h"
#include "text/file_bytes.h"
#include "text/ordered_render.h"

#ifdef TORAVEL_HAVE_LINE_EDITOR
#include "cli/line_editor.h"
#endif

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

constexpr const char* kOverview = R"(Examples:
  toravel convert hero.smd walk.smd run.smd -o hero.x
  toravel convert hero.x more_moves.x -o merged.x --ticks-per-second 30000
  toravel info --reference hero.smd moves.x
  toravel static crate.smd
  toravel preview hero.smd walk.smd --frames all-8 --bones -o walk.png

Run "toravel help COMMAND" (or "toravel COMMAND --help") for the options of one command.)";

constexpr const char* kShellHelp =
    R"(Runs Toravel at a terminal: the status display, the menu and every command.

Enter a command by its number, its menu text or its short name ("32771", "Load SMD Reference
File" or "load-ref"); "menu" lists the commands, "status" shows the status, "help" shows a
short guide, "Exit" or the end of input ends the session. Questions take y or n; notices wait
for Enter; file prompts take a path (an empty answer cancels; a saved name without extension
gets ".x"); the name prompt takes a set name (Enter takes the one it offers, ":cancel"
cancels). At a terminal, the line can be edited, Up and Down go through the history (kept in
the user's data folder) and Tab completes command names and file paths.

With --script FILE, or when standard input is not a terminal, the session reads its commands
and answers from the script, one per line, and echoes a transcript of every prompt with its
answer. Notices do not wait then. A script that ends while a prompt waits for its answer
fails with exit code 1.)";

constexpr const char* kStaticHelp = R"(The mesh gets one attribute group and one material per
texture name, faces sorted by group and reordered for the vertex cache. 16-bit indices limit
a static mesh to 21,845 triangles. An existing output is replaced only with --force, and the
input itself never. After success one summary line goes to standard error (-q: none).

Exit codes: 0 done, 1 export failed, 2 usage error.)";

constexpr const char* kConvertHelp =
    R"(The first input is the reference: an SMD reference (bind-pose skeleton with its skinned
mesh) or an X file, whose frames become the frames of the output and whose animation sets
come along. Every further input adds animation sets in the order given: an SMD animation one
set, named after its file's stem ("walk.smd" gives "walk"); an X file all of its sets, its
unnamed ones named after the file's stem and their position ("moves_1"). --name names the
next animation input instead (for an X file: its unnamed sets, NAME_1, ...). A name that is
already taken gets the first free name of the form NAME_2, NAME_3, ... and a notice.

X inputs may have any text layout, or be binary or compressed files; --strict-x reads them
with the strict reader, which takes only the layout Toravel writes.

An animation that animates frames the reference lacks lists every missing frame and fails
the conversion, unless --allow-incompatible adds it anyway. Nothing is written when the
conversion fails, an existing output is replaced only with --force, and an input never.
After success one summary line goes to standard error (-q: none).

Exit codes: 0 done, 1 conversion failed, 2 usage error.)";

constexpr const char* kInfoHelp =
    R"(X files may have any layout or be binary or compressed. For each file: the skeleton as a
tree, each mesh with its vertices, faces, materials, textures and bones, each animation set
with the frames it animates, its key types, keys and time range, and what the reader left
out. With --reference, every set is checked against the reference's frames.

Exit codes: 0 every file described, 1 a file could not be read, 2 usage error.)";

constexpr const char* kPreviewHelp =
    R"(FILE is an X file of any layout or encoding, or an SMD reference; an SMD reference and the
animations after it are converted in memory exactly as "toravel convert" converts them, and
the picture is drawn from that X file as the X reader reads it back: each mesh skinned on
the CPU from the file alone (vertex times offset matrix times the bone's matrix at the key,
weights as stored), lit by a fixed key light, back faces culled by the file's winding, over
a floor grid on the ground plane (y = 0). The camera is framed on the model at the bind pose
and at every frame shown, and stays put, so a walk that moves forward moves in the picture.

Without --set and --frames the picture shows the bind pose. --frames 0,10,20 or --frames
all-8 (eight evenly spaced keys) lays the frames of --set (default: the first set) out as one
contact sheet, each cell labelled with the set and its frame; a frame is a key of the set, so
frame N of an SMD animation is its frame N. --size is the size of one cell.

Views, for a character that faces +x as SMD characters do: front (from +x), side (from -z,
its left), top (from above), three-quarter (in front, to its left and above).

With --textures each material's texture file is looked up beside FILE (BMP, TGA, PNG); one
that is missing is noted and its material drawn in a flat colour. Without --textures every
texture name gets a flat colour of its own.

Exit codes: 0 done, 1 the input could not be read or the picture not written, 2 usage
error.)";

int RunInfo(const std::vector<std::string>& files, const std::string& reference, bool json) {
    std::optional<toravel::NodeList> referenceNodes;
    if (!reference.empty()) {
        std::string error;
        referenceNodes = toravel::ReadReferenceNodes(reference, error);
        if (!referenceNodes) {
            std::cerr << error;
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
                std::cerr << outcome.error;
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
    CLI::App app{"Toravel converts skeletal models between SMD and DirectX X files.", "toravel"};
    app.set_version_flag("--version", std::string("toravel ") + TORAVEL_VERSION);
    app.footer(kOverview);

    toravel::ConvertRequest convert;
    std::vector<std::string> inputs;
    std::vector<std::string> names;
    std::string ticksPerSecond;
    CLI::App* convertCommand = app.add_subcommand(
        "convert", "Convert an SMD or X reference and its animations into one X file");
    convertCommand->footer(kConvertHelp);
    convertCommand->add_option("inputs", inputs, "REFERENCE [ANIMATION ...] (SMD or X files)")
        ->required()
        ->type_name("FILE");
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
    convertCommand->add_flag("-v,--verbose", convert.verbose,
                             "Show the loaders' steps, each with its file");
    convertCommand->add_flag("-q,--quiet", convert.quiet, "No summary line after success");
    CLI::Option* ticksOption = convertCommand
                                   ->add_option("--ticks-per-second", ticksPerSecond,
                                                "Write an AnimTicksPerSecond block (SMD keys "
                                                "advance 1000 ticks a frame: 30 frames a "
                                                "second is 30000)")
                                   ->type_name("N");
    convertCommand->add_flag("--templates", convert.exportOptions.templates,
                             "Write the standard template declarations after the header");
    convert.threads = toravel::DefaultThreadCount();
    convertCommand
        ->add_option("--threads", convert.threads,
                     "Threads that read and write large files (default: the number of "
                     "cores; 1 reads and writes on one thread)")
        ->check(CLI::Range(1u, 256u))
        ->type_name("N");
    convertCommand->add_flag("--strict-x", convert.strictX,
                             "Read X inputs with the strict reader (Toravel's own layout only) "
                             "and its messages");

    std::string scriptPath;
    bool noColour = false;
    CLI::App* shellCommand =
        app.add_subcommand("shell", "Run the whole application at a terminal, or a script");
    shellCommand->footer(kShellHelp);
    shellCommand->add_option("--script", scriptPath, "Read commands and answers from FILE");
    shellCommand->add_flag("--no-color", noColour, "Plain text, without colours");
    bool generalX = false;
    shellCommand->add_flag("--general-x", generalX,
                           "\"Load X File\" reads every X layout, binary and compressed files");

    std::string staticInput;
    std::string staticOutput;
    bool staticForce = false;
    bool staticQuiet = false;
    CLI::App* staticCommand =
        app.add_subcommand("static", "Save the triangles of an SMD file as a static mesh X file");
    staticCommand->footer(kStaticHelp);
    staticCommand->add_option("input", staticInput, "The SMD file")->required()->type_name("FILE");
    staticCommand->add_option("-o,--output", staticOutput,
                              "The X file to write (default: the input with extension .x)");
    staticCommand->add_flag("-f,--force", staticForce, "Replace an existing output file");
    staticCommand->add_flag("-q,--quiet", staticQuiet, "No summary line after success");

    std::vector<std::string> infoFiles;
    std::string infoReference;
    bool infoJson = false;
    CLI::App* infoCommand = app.add_subcommand(
        "info", "Describe SMD and X files: skeleton, meshes, animation sets, what was left out");
    infoCommand->footer(kInfoHelp);
    infoCommand->add_option("files", infoFiles, "SMD or X files")->required()->type_name("FILE");
    infoCommand->add_option("--reference", infoReference,
                            "Check every animation set against this reference (SMD or X)");
    infoCommand->add_flag("--json", infoJson, "Print one JSON document");

    toravel::PreviewRequest preview;
    std::vector<std::string> previewInputs;
    std::string previewView = "three-quarter";
    std::string previewSize = "800x600";
    std::string previewSet;
    std::string previewFrames;
    bool previewNoGrid = false;
    CLI::App* previewCommand = app.add_subcommand(
        "preview", "Draw a model, or a contact sheet of its animation, as a PNG picture");
    previewCommand->footer(kPreviewHelp);
    previewCommand->add_option("inputs", previewInputs, "FILE [ANIMATION ...] (SMD or X files)")
        ->required()
        ->type_name("FILE");
    previewCommand->add_option("-o,--output", preview.output, "The PNG file to write")
        ->required()
        ->type_name("FILE");
    previewCommand->add_option("--view", previewView, "front, side, top or three-quarter")
        ->type_name("VIEW");
    CLI::Option* setOption =
        previewCommand->add_option("--set", previewSet, "The animation set of the contact sheet")
            ->type_name("NAME");
    CLI::Option* framesOption = previewCommand->add_option(
        "--frames", previewFrames, "Keys of the set: 0,10,20 or all-8 (eight evenly spaced)")
        ->type_name("LIST");
    previewCommand->add_option("--size", previewSize, "Size of the picture or of one cell")
        ->type_name("WxH");
    previewCommand->add_flag("--bones", preview.settings.bones,
                             "Draw the skeleton as lines with joint dots over the mesh");
    previewCommand->add_flag("--textures", preview.textures,
                             "Draw the texture files found beside FILE");
    previewCommand->add_flag("--no-grid", previewNoGrid, "Leave out the floor grid");
    previewCommand->add_flag("-f,--force", preview.force, "Replace an existing output file");
    previewCommand->add_flag("-q,--quiet", preview.quiet, "No summary line after success");

    // "help" is answered before parsing, which would take "help convert" for two commands.
    app.add_subcommand("help", "Show the help of toravel or of a command (toravel help convert)");

    // A command is required, and one that is no command is named back to the user.
    const std::vector<std::string> commands = {"convert", "info", "preview", "shell", "static",
                                               "help"};
    if (argc < 2) {
        std::cerr << "toravel: a command is required: "
                  << "convert, info, preview, shell or static\n"
                  << "hint: see toravel --help\n";
        return toravel::kExitUsage;
    }
    const std::string first = argv[1];
    if (!first.starts_with("-") &&
        std::find(commands.begin(), commands.end(), first) == commands.end()) {
        std::cerr << "toravel: unknown command '" << first << "'\nhint: see toravel --help\n";
        return toravel::kExitUsage;
    }

    if (first == "help") {
        const std::string topic = argc > 2 ? argv[2] : "";
        if (topic.empty()) {
            std::cout << app.help();
            return toravel::kExitDone;
        }
        if (topic == "help" ||
            std::find(commands.begin(), commands.end(), topic) == commands.end()) {
            std::cerr << "toravel: unknown command '" << topic << "'\nhint: see toravel --help\n";
            return toravel::kExitUsage;
        }
        std::cout << app.get_subcommand(topic)->help("toravel");
        return toravel::kExitDone;
    }

    try {
        app.parse(argc, argv);
        if (app.get_subcommands().empty()) {
            throw CLI::CallForHelp();
        }
    } catch (const CLI::CallForHelp&) {
        const CLI::App* sub = nullptr;
        for (const CLI::App* command : app.get_subcommands()) {
            sub = command;
        }
        std::cout << (sub != nullptr ? sub->help("toravel") : app.help());
        return toravel::kExitDone;
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e) == 0 ? toravel::kExitDone : toravel::kExitUsage;
    } catch (const CLI::ParseError& e) {
        const CLI::App* sub = nullptr;
        for (const CLI::App* command : app.get_subcommands()) {
            sub = command;
        }
        std::cerr << "toravel: " << e.what() << "\nhint: see toravel "
                  << (sub != nullptr ? sub->get_name() + " " : std::string()) << "--help\n";
        return toravel::kExitUsage;
    }

    if (convertCommand->parsed()) {
        if (names.size() + 1 > inputs.size()) {
            std::cerr << "toravel: more --name options than animation inputs\nhint: each --name "
                         "names the next animation input, in order\n";
            return toravel::kExitUsage;
        }
        for (const std::string& name : names) {
            if (name.empty()) {
                std::cerr << "toravel: an animation set name must not be empty\n";
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
            uint32_t ticks = 0;
            const auto [end, error] = std::from_chars(
                ticksPerSecond.data(), ticksPerSecond.data() + ticksPerSecond.size(), ticks);
            if (error != std::errc() || end != ticksPerSecond.data() + ticksPerSecond.size() ||
                ticks == 0) {
                std::cerr << "toravel: --ticks-per-second must be a positive integer (up to "
                             "4294967295), not '"
                          << ticksPerSecond << "'\nhint: 30 frames a second is 30000\n";
                return toravel::kExitUsage;
            }
            convert.exportOptions.ticksPerSecond = ticks;
        }
        convert.progress = IsTerminal(2);
        return toravel::RunConvert(convert, std::cerr);
    }
    if (shellCommand->parsed()) {
        toravel::ConsoleOptions options;
        options.generalX = generalX;
        const char* term = std::getenv("TERM");
        options.colour =
            !noColour && IsTerminal(1) && term != nullptr && std::string(term) != "dumb";
        if (!scriptPath.empty()) {
            // Read whole and bounded, from a regular file only: /dev/zero or a FIFO as the
            // script would never end.
            const std::optional<std::string> text = toravel::ReadFileBytes(scriptPath);
            if (!text) {
                std::cerr << "toravel: " << scriptPath << ": cannot open the script\nhint: "
                          << toravel::OpenForReadingProblem(scriptPath) << '\n';
                return toravel::kExitUsage;
            }
            std::istringstream script(*text);
            options.script = true;
            return toravel::RunConsoleSession(script, std::cout, options);
        }
        options.script = !IsTerminal(0);
#ifdef TORAVEL_HAVE_LINE_EDITOR
        if (!options.script) {
            toravel::LineEditor editor(toravel::HistoryFilePath());
            options.lineReader = &editor;
            return toravel::RunConsoleSession(std::cin, std::cout, options);
        }
#endif
        return toravel::RunConsoleSession(std::cin, std::cout, options);
    }
    if (infoCommand->parsed()) {
        return RunInfo(infoFiles, infoReference, infoJson);
    }
    if (previewCommand->parsed()) {
        const std::optional<toravel::ViewKind> view = toravel::ParseViewKind(previewView);
        if (!view) {
            std::cerr << "toravel: --view must be front, side, top or three-quarter, not '"
                      << previewView << "'\n";
            return toravel::kExitUsage;
        }
        int width = 0;
        int height = 0;
        const size_t x = previewSize.find('x');
        const char* text = previewSize.data();
        const bool sized =
            x != std::string::npos &&
            std::from_chars(text, text + x, width).ptr == text + x &&
            std::from_chars(text + x + 1, text + previewSize.size(), height).ptr ==
                text + previewSize.size();
        if (!sized || width < 16 || height < 16 || width > 8192 || height > 8192) {
            std::cerr << "toravel: --size must be WIDTHxHEIGHT, each from 16 to 8192, not '"
                      << previewSize << "'\nhint: --size 800x600\n";
            return toravel::kExitUsage;
        }
        preview.settings.view = *view;
        preview.settings.width = width;
        preview.settings.height = height;
        preview.settings.grid = !previewNoGrid;
        if (setOption->count() > 0) {
            preview.settings.setName = previewSet;
        }
        if (framesOption->count() > 0) {
            preview.settings.frames = previewFrames;
        }
        preview.input = previewInputs.front();
        for (size_t i = 1; i < previewInputs.size(); ++i) {
            preview.animations.push_back({previewInputs[i], std::nullopt});
        }
        return toravel::RunPreview(preview, std::cerr);
    }
    if (staticCommand->parsed()) {
        return toravel::RunStaticExport(staticInput, staticOutput, staticForce, std::cerr,
                                        staticQuiet);
    }
    return toravel::kExitUsage;
}
