// SMD animations from memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "round_trip.h"
#include "smd/smd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::SmdReadResult result =
        toravel::ReadSmdAnimation(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)result;
    return 0;
}
