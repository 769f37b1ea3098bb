#include "app/preview_command.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "app/message_format.h"
#include "preview/png_codec.h"
#include "text/file_bytes.h"
#include "text/file_replacement.h"
#include "xfile/x_general_reader.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace toravel {

namespace {

Notice PreviewNotice(const std::string& file, std::string title, std::string text) {
    Notice notice{NoticeId::kReadFailure, std::move(title), std::move(text)};
    notice.place.file = file;
    return notice;
}

// Textures by the name the material gives, read once each from beside the input. A missing
// or unreadable one is noted once and leaves its material in a flat colour.
class TextureFolder {
  public:
    TextureFolder(const std::string& input, std::ostream& messages)
        : folder_(std::filesystem::path(input).parent_path()), input_(input), messages_(messages) {}

    const Texture* Find(const MaterialData& material) {
        if (material.textureFile.empty()) {
            return nullptr;
        }
        const auto [at, fresh] = loaded_.try_emplace(material.textureFile);
        if (!fresh) {
            return at->second.get();
        }
        const std::string path = (folder_ / material.textureFile).string();
        std::optional<std::string> bytes = ReadFileBytes(path);
        std::string reason;
        std::optional<Image> picture;
        if (!bytes) {
            reason = OpenForReadingProblem(path);
        } else {
            picture = DecodePicture(*bytes, reason);
        }
        if (!picture) {
            Notice notice{NoticeId::kReadWarning, "Texture Missing",
                          "The texture " + material.textureFile +
                              " cannot be read; its material is drawn in a flat colour."};
            notice.place.file = path;
            notice.hint = reason;
            messages_ << CommandLineMessage(notice);
            return nullptr;
        }
        at->second = std::make_unique<Texture>(std::move(*picture));
        return at->second.get();
    }

  private:
    std::filesystem::path folder_;
    std::string input_;
    std::ostream& messages_;
    std::map<std::string, std::unique_ptr<Texture>> loaded_;
};

bool WriteBytes(const std::string& path, const std::string& bytes, std::string& reason) {
    int error = 0;
    std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(path, reason, error);
    if (!replacement) {
        return false;
    }
    const int fd = replacement->TakeDescriptor();
#if defined(_WIN32)
    _setmode(fd, _O_BINARY);
    std::FILE* file = _fdopen(fd, "wb");
#else
    std::FILE* file = fdopen(fd, "wb");
#endif
    if (file == nullptr) {
        reason = SystemReason(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        reason = "the file could not be written completely";
        return false;  // the replacement removes its temporary
    }
    if (const std::error_code renamed = replacement->Commit()) {
        reason = renamed.message();
        return false;
    }
    return true;
}

}  // namespace

int RunPreview(const PreviewRequest& request, std::ostream& messages) {
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> inputs = {request.input};
    for (const AnimationInput& input : request.animations) {
        inputs.push_back(input.path);
    }
    if (const ExitCode refused = CheckOutputPath(request.output, inputs, request.force, messages)) {
        return refused;
    }

    ConvertRequest convert;
    convert.reference = request.input;
    convert.animations = request.animations;
    convert.output = request.output;
    convert.quiet = true;
    const std::optional<std::string> document = ConvertInMemory(convert, messages);
    if (!document) {
        return kExitFailed;
    }
    XGeneralResult read = ReadXGeneral(*document, request.input);
    if (!read.ok()) {
        // What the writer wrote always reads back; this guards against a fault of our own.
        messages << CommandLineMessage(PreviewNotice(request.input, "Invalid File", read.error));
        return kExitFailed;
    }
    const XGeneralContent& content = *read.content;

    std::string problem;
    const std::optional<PreviewPlan> plan =
        PlanPreview(content.animSets, request.settings, problem);
    if (!plan) {
        Notice notice = PreviewNotice(request.input, "Preview", problem);
        notice.hint = "see toravel preview --help";
        messages << CommandLineMessage(notice);
        return kExitUsage;
    }

    TextureFolder folder(request.input, messages);
    TextureLookup textures;
    if (request.textures) {
        textures = [&folder](const MaterialData& material) { return folder.Find(material); };
    }
    const Image picture = RenderPreview(content.frames, *plan, request.settings, textures);
    const std::string png = EncodePng(picture);
    std::string reason;
    if (png.empty() || !WriteBytes(request.output, png, reason)) {
        Notice notice{NoticeId::kWriteFailure, "Write Failure",
                      "Failed to write output:\n" + request.output, request.output};
        notice.place.file = request.output;
        notice.hint = png.empty() ? "the picture could not be encoded" : reason;
        messages << CommandLineMessage(notice);
        return kExitFailed;
    }
    if (!request.quiet) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char time[32];
        std::snprintf(time, sizeof time, "%.2f s", seconds);
        std::string what = "the bind pose";
        if (plan->set != nullptr) {
            what = std::to_string(plan->frames.size()) +
                   (plan->frames.size() == 1 ? " frame of " : " frames of ") + plan->set->name;
        }
        messages << "toravel: wrote " << request.output << ": " << what << ", " << picture.width()
                 << "x" << picture.height() << " pixels, " << SizeText(png.size()) << " in " << time
                 << "\n";
    }
    return kExitDone;
}

}  // namespace toravel
