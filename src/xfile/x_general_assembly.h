// The last step of the general X reader: resolving references and putting the frames into
// the shape the rest of the application knows.
//
// - Material references take a copy of the named Material (the first one declared by that
//   name); mesh references in frames take a copy of the named Mesh.
// - A frame keeps its first mesh; each further one gets a child frame of its own, placed
//   before the frame's other children and named after the mesh ("Mesh_<n>", n counting the
//   file's meshes from 1, when the mesh has no name).
// - A top-level mesh that no frame references gets an outermost frame of its own, named
//   likewise, where it stands among the outermost frames.
// - One outermost frame named Scene_Root without a mesh becomes frame 0; otherwise a
//   Scene_Root with the identity matrix is supplied and every outermost frame goes below it.
// - The frames come out in depth-first pre-order, ids their positions, parent ids set and
//   the children chained in list order (as LinkParents chains them).
//
// References that name nothing fail; references to frames or skipped objects are noted as
// skipped. Copies are bounded by a budget proportional to the data's size, so a small file
// cannot make the reader copy one large mesh without end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/records.h"
#include "xfile/x_general_parsed.h"

namespace toravel {

// What copies of referenced meshes and materials may take in all, for data of this size:
// 64 times the data plus 256 MiB.
uint64_t XCopyBudget(size_t dataSize);

// Throws XReadFailure, also when the copies would take more than `copyBudget` bytes.
NodeList AssembleXFrames(XParsedFile& parsed, uint64_t copyBudget);

}  // namespace toravel
