// What every fuzz target checks after a successful read: the nodes and sets write into
// memory, and what was written reads back. Anything else aborts, so the fuzzer reports it as
// a finding.
#pragma once

#include <cstdlib>
#include <vector>

#include "scene/records.h"
#include "text/text_writer.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_strict_reader.h"
#include "xfile/x_writer.h"

namespace toravel::fuzz {

// The reader that must take the written file back: the strict one for what came from SMD
// files or through the strict reader, the general one (which `toravel convert` uses) for
// what came from any X file.
enum class ReadBack { kStrict, kGeneral };

inline void WriteAndReadBack(const NodeList& nodes, const std::vector<AnimSet>& sets,
                             ReadBack readBack = ReadBack::kStrict) {
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    if (!WriteXDocument(out, nodes, sets, {}, failure)) {
        return;  // refused with a message (no skeleton root): nothing written
    }
    out.Finish();
    const bool read = readBack == ReadBack::kStrict ? ReadXFile(sink.text).ok()
                                                    : ReadXGeneral(sink.text, "written.x").ok();
    if (!read) {
        std::abort();
    }
}

}  // namespace toravel::fuzz
