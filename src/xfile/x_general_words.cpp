#include "xfile/x_general_words.h"

#include <array>
#include <utility>

namespace toravel {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr std::array<std::pair<std::string_view, XObjectKind>, 15> kKinds{{
    {"Header", XObjectKind::kHeader},
    {"Frame", XObjectKind::kFrame},
    {"FrameTransformMatrix", XObjectKind::kFrameTransformMatrix},
    {"Mesh", XObjectKind::kMesh},
    {"MeshNormals", XObjectKind::kMeshNormals},
    {"MeshTextureCoords", XObjectKind::kMeshTextureCoords},
    {"MeshMaterialList", XObjectKind::kMeshMaterialList},
    {"Material", XObjectKind::kMaterial},
    {"TextureFilename", XObjectKind::kTextureFilename},
    {"XSkinMeshHeader", XObjectKind::kXSkinMeshHeader},
    {"SkinWeights", XObjectKind::kSkinWeights},
    {"AnimTicksPerSecond", XObjectKind::kAnimTicksPerSecond},
    {"AnimationSet", XObjectKind::kAnimationSet},
    {"Animation", XObjectKind::kAnimation},
    {"AnimationKey", XObjectKind::kAnimationKey},
}};

}  // namespace

XObjectKind XObjectKindOf(std::string_view identifier) {
    for (const auto& [word, kind] : kKinds) {
        if (SameIgnoringCase(identifier, word)) {
            return kind;
        }
    }
    return XObjectKind::kOther;
}

}  // namespace toravel
