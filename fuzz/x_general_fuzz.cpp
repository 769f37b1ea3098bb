// The general X reader (text, binary and compressed) from memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xfile/x_general_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    toravel::ReadXGeneral(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.x");
    return 0;
}
