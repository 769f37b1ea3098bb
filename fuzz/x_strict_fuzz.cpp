// The strict X reader from memory, then the frames and sets written and read back. Unnamed
// sets get names chosen from the input's first byte, as a user's answers would vary.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::XReadHooks hooks;
    const bool answer = size > 0 && (data[0] & 1) != 0;
    hooks.nameUnnamedSet = [answer](size_t index) -> std::optional<std::string> {
        if (!answer) {
            return std::nullopt;
        }
        return "set_" + std::to_string(index);
    };
    toravel::XReadResult result =
        toravel::ReadXFile(std::string_view(reinterpret_cast<const char*>(data), size), hooks);
    if (result.ok()) {
        toravel::fuzz::WriteAndReadBack(result.model.frames, result.model.animSets);
    }
    return 0;
}
