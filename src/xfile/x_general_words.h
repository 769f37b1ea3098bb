// The data objects the general X reader knows, by their template names. Names are compared
// without regard to case, as writers differ ("TextureFilename", "TextureFileName").
#pragma once

#include <cstdint>
#include <string_view>

namespace toravel {

enum class XObjectKind : uint8_t {
    kOther,
    kHeader,
    kFrame,
    kFrameTransformMatrix,
    kMesh,
    kMeshNormals,
    kMeshTextureCoords,
    kMeshMaterialList,
    kMaterial,
    kTextureFilename,
    kXSkinMeshHeader,
    kSkinWeights,
    kAnimTicksPerSecond,
    kAnimationSet,
    kAnimation,
    kAnimationKey,
};

XObjectKind XObjectKindOf(std::string_view identifier);

}  // namespace toravel
