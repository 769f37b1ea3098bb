// SMD references from memory, then written and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "round_trip.h"
#include "smd/smd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::SmdReadResult result =
        toravel::ReadSmdReference(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.ok()) {
        toravel::fuzz::WriteAndReadBack(result.nodes, {});
    }
    return 0;
}
