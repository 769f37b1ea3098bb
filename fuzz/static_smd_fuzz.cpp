// Static SMD triangles from memory, then the whole static export (mesh building, welding,
// optimising, writing) through a file of this process's own folder; what was written must
// read back with the general X reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "app/static_export_job.h"
#include "staticmesh/static_smd_reader.h"
#include "xfile/x_general_reader.h"

namespace {

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("toravel-static-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    toravel::StaticTriangleSet set;
    toravel::ReadReport report;
    if (!toravel::ParseStaticSmd(bytes, set, report)) {
        return 0;
    }
    const std::string in = (Folder() / "in.smd").string();
    const std::string out = (Folder() / "out.x").string();
    std::ofstream(in, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    std::ostringstream messages;
    if (toravel::RunStaticExport(in, out, true, messages, true) != 0) {
        return 0;  // refused with a message (too many triangles, nothing to save)
    }
    std::ifstream written(out, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(written)),
                           std::istreambuf_iterator<char>());
    if (!toravel::ReadXGeneral(text, "out.x").ok()) {
        std::abort();
    }
    return 0;
}
