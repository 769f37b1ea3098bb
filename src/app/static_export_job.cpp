#include "app/static_export_job.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/batch_convert.h"
#include "app/message_format.h"
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
                    std::ostream& messages, bool quiet) {
    const auto started = std::chrono::steady_clock::now();
    const std::string output =
        out.empty() ? std::filesystem::path(in).replace_extension(".x").string() : out;
    if (const ExitCode refused = CheckOutputPath(output, {in}, force, messages)) {
        return refused;
    }
    // The commands run with their files already chosen: no dialog or question comes up.
    MessageStreamInteraction ui(&messages);
    ui.SetCurrentFile(in);
    PortableMeshLayer layer;
    StaticMesh mesh;
    bool done = LoadStaticMesh(mesh, layer, ChoiceOf(in), ui);
    ui.SetCurrentFile(output);
    done = done && ExportStaticMesh(mesh, layer, ChoiceOf(output), ui);
    if (done && !quiet) {
        std::error_code ignored;
        char seconds[32];
        std::snprintf(
            seconds, sizeof seconds, "%.2f s",
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        const uint32_t faces = mesh.meshObject ? mesh.meshObject->GetNumFaces() : 0;
        messages << "toravel: wrote " << output << ": a static mesh of " << faces
                 << (faces == 1 ? " triangle, " : " triangles, ") << mesh.attributeGroupCount
                 << (mesh.attributeGroupCount == 1 ? " material, " : " materials, ")
                 << SizeText(std::filesystem::file_size(output, ignored)) << " in " << seconds
                 << '\n';
    }
    ReleaseStaticMesh(mesh);
    return done ? 0 : 1;
}

}  // namespace toravel
