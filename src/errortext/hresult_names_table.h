// The generated table of HRESULT identifiers (hresult_names_table.cpp, made by
// scripts/gen_hresult_names.py), sorted by the code read as an unsigned 32-bit number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace toravel {

struct HresultNameRow {
    uint32_t code;
    const char* name;  // identifiers of one value joined by " & "
};

extern const HresultNameRow kHresultNames[];
extern const size_t kHresultNameCount;

}  // namespace toravel
