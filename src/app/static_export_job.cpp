#include "app/static_export_job.h"

#include <filesystem>
#include <system_error>

#include "app/batch_convert.h"
#include "app/message_stream_interaction.h"
#include "app/static_mesh_commands.h"
#include "staticmesh/portable_mesh_layer.h"
#include "text/replace_file.h"

namespace toravel {

namespace {

FileChoice ChoiceOf(const std::string& path) {
    return {path, std::filesystem::path(path).filename().string()};
}

}  // namespace

int RunStaticExport(const std::string& in, const std::string& out, bool force,
                    std::ostream& messages) {
    const std::string output =
        out.empty() ? std::filesystem::path(in).replace_extension(".x").string() : out;
    if (IsSameFile(output, in)) {
        messages << OutputIsInputMessage(output, in) << '\n';
        return 2;
    }
    std::error_code error;
    if (!force && std::filesystem::exists(output, error)) {
        messages << "Overwrite File?: " << output << " exists; use --force to replace it.\n";
        return 1;
    }
    // The commands run with their files already chosen: no dialog or question comes up.
    MessageStreamInteraction ui(&messages);
    PortableMeshLayer layer;
    StaticMesh mesh;
    const bool done = LoadStaticMesh(mesh, layer, ChoiceOf(in), ui) &&
                      ExportStaticMesh(mesh, layer, ChoiceOf(output), ui);
    ReleaseStaticMesh(mesh);
    return done ? 0 : 1;
}

}  // namespace toravel
