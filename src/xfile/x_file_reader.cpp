// The "Load X File" command: file choice, open, discard question, the reading steps in
// order, the parent links and the two optional debug dumps.

#include "xfile/x_file_reader.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "scene/names.h"
#include "scene/node_ops.h"
#include "text/text_input.h"
#include "text/text_writer.h"
#include "xfile/x_reader.h"
#include "xfile/x_writer.h"

namespace toravel {

namespace {

// Writes a dump file with `write`; a file that cannot be created is silently skipped.
template <typename Write>
void WriteDump(const std::string& name, Write write) {
    std::unique_ptr<FileSink> sink = FileSink::Create(XDumpPath(name));
    if (!sink) {
        return;
    }
    TextWriter out(*sink);
    write(out);
    out.Finish();
}

bool ReadOpenedFile(XFileReader& doc, const FileChoice& file, LineTokenizer& tokenizer,
                    UserInteraction& ui) {
    std::optional<TextInput> input = TextInput::OpenFile(file.path);
    if (!input) {
        ui.ShowMessage(
            "Failed to open for input:\n" + file.fileName +
                (doc.loaded ? "\nCurrently loaded X file information will be retained." : ""),
            "Open Failure");
        return false;
    }
    if (doc.loaded && !ui.AskYesNo("Currently loaded X file information will be lost.\nContinue?",
                                   "Discard X File Info", false)) {
        return false;
    }
    doc.Reset();
    tokenizer.Reset(LineTokenizer::Braces::kSeparate);

    XReader reader(doc, *input, tokenizer, ui);
    if (!reader.ReadXHeader() || !reader.ReadRootFrame() || !LinkParents(doc.frames, &ui)) {
        return false;
    }
    if (ui.AskYesNo("Dump heirarchy to f:dump.txt?", "Dump?", false)) {
        WriteDump("dump.txt", [&](TextWriter& out) { WriteHierarchyListing(out, doc.frames); });
    }
    if (!reader.ReadAfterFrames()) {
        return false;
    }
    // Names are written back as read, so each must be one that reads back as one name.
    if (const std::optional<NameCollision> collision = FixModelNames(doc.frames, doc.animSets)) {
        ui.ShowMessage(CollisionNotice(*collision), kCollisionTitle);
    }
    doc.loaded = true;
    doc.fileName = file.fileName;
    doc.filePath = file.path;
    if (ui.AskYesNo("Quick Dump to f:dump.x?", "Dump?", false)) {
        WriteDump("dump.x", [&](TextWriter& out) { WriteSceneFrames(out, doc.frames, ui); });
    }
    return true;
}

}  // namespace

std::string XDumpPath(const std::string& name) {
#ifdef _WIN32
    return "f:\\" + name;
#else
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::string() : (folder / name).string();
#endif
}

bool LoadXFile(XFileReader& doc, LineTokenizer& tokenizer, UserInteraction& ui) {
    const std::optional<FileChoice> file =
        ui.AskOpenFileName({{"DirectX X Files (*.x)", "*.x"}, {"All files (*.*)", "*.*"}});
    if (!file) {
        ui.RequestRepaint();
        return false;
    }
    return LoadXFileFrom(doc, *file, tokenizer, ui);
}

bool LoadXFileFrom(XFileReader& doc, const FileChoice& file, LineTokenizer& tokenizer,
                   UserInteraction& ui) {
    const bool loaded = ReadOpenedFile(doc, file, tokenizer, ui);
    ui.RequestRepaint();
    return loaded;
}

}  // namespace toravel
