// SMD animations from memory; a read animation becomes a set of its own skeleton, as the
// primaries would hold it, and is written and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "round_trip.h"
#include "smd/smd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::SmdReadResult result =
        toravel::ReadSmdAnimation(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.ok()) {
        toravel::fuzz::WriteAndReadBack(result.nodes,
                                        {toravel::BuildAnimSet(result.nodes, "fuzz")});
    }
    return 0;
}
