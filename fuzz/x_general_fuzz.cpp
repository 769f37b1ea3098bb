// The general X reader (text, binary and compressed) from memory. What it read is loaded as
// the X load command loads it (names fixed, unnamed sets named, nothing that is not a finite
// number; every set kept, as --allow-incompatible keeps it), then written and read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "round_trip.h"
#include "scene/finite_values.h"
#include "scene/names.h"
#include "xfile/x_general_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::XGeneralResult result =
        toravel::ReadXGeneral(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.x");
    if (!result.ok()) {
        return 0;
    }
    toravel::XGeneralContent& content = *result.content;
    if (toravel::FindNonFiniteValue(content.frames) ||
        toravel::FindNonFiniteValue(content.animSets)) {
        return 0;  // refused at load
    }
    for (size_t i = 0; i < content.animSets.size(); ++i) {
        if (content.animSets[i].name.empty()) {
            content.animSets[i].name = "set_" + std::to_string(i);
        }
    }
    toravel::FixModelNames(content.frames, content.animSets);
    for (toravel::AnimSet& set : content.animSets) {
        toravel::FixXName(set.name);  // as the primaries name a set they take
    }
    toravel::fuzz::WriteAndReadBack(content.frames, content.animSets,
                                    toravel::fuzz::ReadBack::kGeneral);
    return 0;
}
