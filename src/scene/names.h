// The rule that makes every name Toravel writes read back as one name: X files separate names
// by blanks, braces, ';' and ',', and comments start at '#' and "//".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/records.h"

namespace toravel {

// Turns every ASCII character other than a letter, a digit, '_' or '-' into '_'; bytes of
// 0x80 and above (UTF-8 names) stay. True when the name changed.
bool FixXName(std::string& name);

// Two nodes whose names were different before FixNodeNames and equal after.
struct NameCollision {
    std::string first;   // the earlier node's name as it was
    std::string second;  // the later node's name as it was
    std::string fixed;   // the name both now have
    size_t more = 0;     // further nodes whose fixed names collide the same way
};

// FixXName on every node name of `list`; reports the first collision that the fixing made,
// if any.
std::optional<NameCollision> FixNodeNames(NodeList& list);

// FixNodeNames, and FixXName on every other name that the nodes' meshes and the sets' animations
// hold: mesh, material and bone names and the frames that the animations drive (not the set
// names, which the primaries fix as sets come in).
std::optional<NameCollision> FixModelNames(NodeList& list, std::vector<AnimSet>& sets);

// The notice for a collision: both old names and the one they now share.
std::string CollisionNotice(const NameCollision& collision);
inline constexpr std::string_view kCollisionTitle = "Duplicate Node Names";

}  // namespace toravel
