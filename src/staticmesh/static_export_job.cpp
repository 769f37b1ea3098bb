#include "staticmesh/static_export_job.h"

#include <filesystem>
#include <system_error>

#include "app/user_interaction.h"
#include "staticmesh/portable_mesh_layer.h"
#include "staticmesh/static_mesh.h"

namespace toravel {

namespace {

// Prints notices; the commands are run with their files already chosen, so no dialog or
// question comes up.
class ConsoleInteraction : public UserInteraction {
  public:
    explicit ConsoleInteraction(std::ostream& messages) : messages_(messages) {}

    bool AskYesNo(std::string_view text, std::string_view title, bool) override {
        ShowMessage(text, title);
        return false;
    }
    void ShowMessage(std::string_view text, std::string_view title) override {
        messages_ << title << ": ";
        for (char c : text) {
            messages_ << c;
            if (c == '\n') {
                messages_ << "  ";
            }
        }
        messages_ << '\n';
    }
    std::optional<std::string> AskAnimSetName() override { return std::nullopt; }
    std::optional<FileChoice> AskOpenFileName(const FileFilter&) override { return std::nullopt; }
    std::optional<FileChoice> AskSaveFileName(const FileFilter&, std::string_view) override {
        return std::nullopt;
    }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

  private:
    std::ostream& messages_;
};

FileChoice ChoiceOf(const std::string& path) {
    return {path, std::filesystem::path(path).filename().string()};
}

}  // namespace

int RunStaticExport(const std::string& in, const std::string& out, bool force,
                    std::ostream& messages) {
    const std::string output =
        out.empty() ? std::filesystem::path(in).replace_extension(".x").string() : out;
    std::error_code error;
    if (!force && std::filesystem::exists(output, error)) {
        messages << "Overwrite File?: " << output << " exists; use --force to replace it.\n";
        return 1;
    }
    ConsoleInteraction ui(messages);
    PortableMeshLayer layer;
    StaticMesh mesh;
    const bool done = LoadStaticMesh(mesh, layer, ChoiceOf(in), ui) &&
                      ExportStaticMesh(mesh, layer, ChoiceOf(output), ui);
    ReleaseStaticMesh(mesh);
    return done ? 0 : 1;
}

}  // namespace toravel
