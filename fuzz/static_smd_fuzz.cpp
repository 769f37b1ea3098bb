// Static SMD triangles from memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "staticmesh/static_smd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::StaticTriangleSet set;
    toravel::ReadReport report;
    toravel::ParseStaticSmd(std::string_view(reinterpret_cast<const char*>(data), size), set,
                            report);
    return 0;
}
