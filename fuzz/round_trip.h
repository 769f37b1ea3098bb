// What every fuzz target checks after a successful read: the nodes and sets write into
// memory, and what was written reads back with the strict X reader. Anything else aborts, so
// the fuzzer reports it as a finding.
#pragma once

#include <cstdlib>
#include <vector>

#include "scene/records.h"
#include "text/text_writer.h"
#include "xfile/x_strict_reader.h"
#include "xfile/x_writer.h"

namespace toravel::fuzz {

inline void WriteAndReadBack(const NodeList& nodes, const std::vector<AnimSet>& sets) {
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    if (!WriteXDocument(out, nodes, sets, {}, failure)) {
        return;  // refused with a message (no skeleton root): nothing written
    }
    out.Finish();
    if (!ReadXFile(sink.text).ok()) {
        std::abort();
    }
}

}  // namespace toravel::fuzz
