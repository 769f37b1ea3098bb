#include "app/x_load_command.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "app/read_messages.h"
#include "scene/finite_values.h"
#include "scene/names.h"
#include "text/file_bytes.h"
#include "text/text_input.h"
#include "text/text_writer.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_strict_reader.h"
#include "xfile/x_writer.h"

namespace toravel {

namespace {

bool ParseUnsignedSize(std::string_view digits, size_t& value) {
    value = 0;
    if (digits.empty()) {
        return false;
    }
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

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

// Asks whether to name an unnamed set, then for the name.
std::optional<std::string> NameUnnamedSet(size_t index, UserInteraction& ui) {
    if (!ui.AskYesNo({QuestionId::kNameUnnamedSet,
                      "No AnimationSet Name",
                      "AnimationSet " + std::to_string(index) +
                          " has no name. Do you want to give it a name?",
                      false,
                      {},
                      index})) {
        return std::nullopt;
    }
    return ui.AskAnimSetName({NamePromptId::kUnnamedSet, {}, index});
}

void ShowOpenFailure(const XFileReader& doc, const FileChoice& file, UserInteraction& ui) {
    Notice notice{NoticeId::kOpenFailure, "Open Failure",
                  "Failed to open for input:\n" + file.fileName, file.fileName};
    if (doc.loaded) {
        notice.aside = "Currently loaded X file information will be retained.";
    }
    notice.place.file = file.path;
    notice.hint = OpenForReadingProblem(file.path);
    ui.ShowMessage(notice);
}

bool AgreeToDiscard(const XFileReader& doc, UserInteraction& ui) {
    return !doc.loaded ||
           ui.AskYesNo({QuestionId::kDiscardDocument, "Discard X File Info",
                        "Currently loaded X file information will be lost.\nContinue?", false,
                        "X file"});
}

// The dumps are written into the working folder; the question names the file it writes.
std::string DumpPath(const char* name) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(name, error);
    return error ? std::string(name) : path.string();
}

void AskForDumps(const XFileReader& doc, UserInteraction& ui) {
    if (ui.AskYesNo({QuestionId::kDumpHierarchy, "Dump?",
                     "Dump heirarchy to " + DumpPath("dump.txt") + "?"})) {
        WriteDump("dump.txt", [&](TextWriter& out) { WriteHierarchyListing(out, doc.frames); });
    }
}

void AskForQuickDump(const XFileReader& doc, UserInteraction& ui) {
    if (ui.AskYesNo(
            {QuestionId::kQuickDump, "Dump?", "Quick Dump to " + DumpPath("dump.x") + "?"})) {
        WriteDump("dump.x", [&](TextWriter& out) {
            Message noRoot;
            if (!WriteSceneFrames(out, doc.frames, noRoot)) {
                ui.ShowMessage({NoticeId::kNoSkeletonRoot, noRoot.title, noRoot.text, {}});
            }
        });
    }
}

void SetLoaded(XFileReader& doc, const FileChoice& file) {
    doc.loaded = true;
    doc.fileName = file.fileName;
    doc.filePath = file.path;
}

// A message of the general reader about `file`: a place "line N" becomes the notice's line.
Notice GeneralReaderNotice(const XGeneralNote& note, NoticeId id, std::string title,
                           const FileChoice& file) {
    Notice notice{id, std::move(title), note.text, file.fileName};
    notice.place.file = file.path;
    const std::string_view place = note.place;
    size_t line = 0;
    if (place.starts_with("line ") && place.find(' ', 5) == std::string_view::npos &&
        ParseUnsignedSize(place.substr(5), line)) {
        notice.place.line = line;
    } else {
        notice.place.where = note.place;
    }
    return notice;
}

// The general reader: the whole file at once; then the names of unnamed sets are asked for
// as the strict reader asks while it reads, and every name is made one that reads back.
bool ReadWithGeneralReader(XFileReader& doc, const FileChoice& file, UserInteraction& ui) {
    std::optional<std::string> bytes = ReadFileBytes(file.path);
    if (!bytes) {
        ShowOpenFailure(doc, file, ui);
        return false;
    }
    if (!AgreeToDiscard(doc, ui)) {
        return false;
    }
    doc.Reset();
    XGeneralResult read = ReadXGeneral(*bytes, file.fileName);
    bytes.reset();
    for (const XGeneralNote& note : read.notes) {
        ui.ShowMessage(GeneralReaderNotice(note, NoticeId::kReadWarning, "Warning", file));
    }
    if (!read.ok()) {
        ui.ShowMessage(GeneralReaderNotice(read.failure.value_or(XGeneralNote{{}, read.error}),
                                           NoticeId::kReadFailure, std::string(kInvalidFileTitle),
                                           file));
        return false;
    }
    XGeneralContent& content = *read.content;
    // The reader takes the "1.#INF00" of Microsoft's printf for what it means; such a value
    // cannot be written back, so a model that holds one is not loaded for conversion.
    std::optional<std::string> nonFinite = FindNonFiniteValue(content.frames);
    if (!nonFinite) {
        nonFinite = FindNonFiniteValue(content.animSets);
    }
    if (nonFinite) {
        ui.ShowMessage(GeneralReaderNotice(XGeneralNote{{}, NonFiniteValueText(*nonFinite)},
                                           NoticeId::kReadFailure, std::string(kInvalidFileTitle),
                                           file));
        return false;
    }
    doc.frames = std::move(content.frames);
    doc.animSets = std::move(content.animSets);
    doc.ticksPerSecond = content.ticksPerSecond;
    doc.format = content.format;
    doc.skipped = std::move(content.skipped);
    AskForDumps(doc, ui);
    for (size_t i = 0; i < doc.animSets.size(); ++i) {
        if (doc.animSets[i].name.empty()) {
            if (std::optional<std::string> name = NameUnnamedSet(i, ui)) {
                doc.animSets[i].name = std::move(*name);
            }
        }
    }
    if (const std::optional<NameCollision> collision = FixModelNames(doc.frames, doc.animSets)) {
        ui.ShowMessage(
            {NoticeId::kReadWarning, std::string(kCollisionTitle), CollisionNotice(*collision)});
    }
    SetLoaded(doc, file);
    AskForQuickDump(doc, ui);
    return true;
}

bool ReadOpenedFile(XFileReader& doc, const FileChoice& file, UserInteraction& ui,
                    const DebugTrace& trace) {
    std::optional<TextInput> input = TextInput::OpenFile(file.path);
    if (!input) {
        ShowOpenFailure(doc, file, ui);
        return false;
    }
    if (!AgreeToDiscard(doc, ui)) {
        return false;
    }
    doc.Reset();
    ReportProgress(*input, file.path, ui);

    ReadReport report;
    XReadHooks hooks;
    hooks.nameUnnamedSet = [&](size_t index) { return NameUnnamedSet(index, ui); };
    hooks.trace = trace;
    XStrictReader reader(*input, doc, report, hooks);
    if (!ShowReadStep(reader.ReadFrames(), report, ui, file.path)) {
        return false;
    }
    AskForDumps(doc, ui);
    if (!ShowReadStep(reader.ReadSets(), report, ui, file.path)) {
        return false;
    }
    SetLoaded(doc, file);
    AskForQuickDump(doc, ui);
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

bool LoadXFile(XFileReader& doc, UserInteraction& ui, const DebugTrace& trace, XReaderKind reader) {
    const std::optional<FileChoice> file = ui.AskOpenFileName(
        {FilePromptId::kOpenX, {{"DirectX X Files (*.x)", "*.x"}, {"All files (*.*)", "*.*"}}, {}});
    if (!file) {
        ui.RequestRepaint();
        return false;
    }
    return LoadXFileFrom(doc, *file, ui, trace, reader);
}

bool LoadXFileFrom(XFileReader& doc, const FileChoice& file, UserInteraction& ui,
                   const DebugTrace& trace, XReaderKind reader) {
    const bool loaded = reader == XReaderKind::kGeneral ? ReadWithGeneralReader(doc, file, ui)
                                                        : ReadOpenedFile(doc, file, ui, trace);
    ui.RequestRepaint();
    return loaded;
}

}  // namespace toravel
