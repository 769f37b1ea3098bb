// Whether a model holds only finite numbers. A value that overflowed while it was read or
// converted (a translation of 3e38 added to its parent's) would be written as "-inf" or
// "nan", which no reader takes back, so the readers refuse such a model and name the value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scene/records.h"

namespace toravel {

// The first value that is not a finite number, described as "the bind pose of node
// 'Bip01'" or "vertex 3 of the mesh of node 'Body'"; nothing when every value is finite.
// Every value that the writer writes is looked at: local matrices, the mesh's lists,
// materials, skin weights with their offset matrices and the keys of the nodes' tracks.
std::optional<std::string> FindNonFiniteValue(const NodeList& nodes);
std::optional<std::string> FindNonFiniteValue(const std::vector<AnimSet>& sets);

// Whether all sixteen entries are finite numbers.
bool IsFinite(const Matrix& m);

// The failure text for a value that FindNonFiniteValue described.
std::string NonFiniteValueText(const std::string& what);

}  // namespace toravel
