// The long-lived documents: what each load command read, kept until its next load.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scene/records.h"
#include "staticmesh/mesh_layer.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_strict_reader.h"

namespace toravel {

// The file a document was loaded from; set only by a load that succeeded.
struct LoadedFile {
    bool loaded = false;
    std::string fileName;  // without folder
    std::string filePath;  // full path
};

// An SMD reference: a bind-pose skeleton with its skinned triangle mesh.
struct SmdReference : LoadedFile {
    NodeList nodes;

    void Reset() { *this = SmdReference{}; }
};

// An SMD animation: every frame of its skeleton section as matrix keys of one named set.
struct SmdAnimation : LoadedFile {
    NodeList nodes;
    std::vector<AnimSet> animSets;  // exactly one after a successful load

    void Reset() { *this = SmdAnimation{}; }
};

// The frame hierarchy and the animation sets of one X file.
struct XFileReader : LoadedFile, XModel {
    // What the general reader found beside the records: the encoding, and what it left out.
    std::optional<XFileFormat> format;
    std::vector<XSkippedExtra> skipped;

    void Reset() { *this = XFileReader{}; }
};

// An SMD file's triangles as a static mesh. Unlike the other documents it keeps full paths.
// The device and the Direct3D object of a build belong to the mesh layer, which creates and
// releases them on the document's behalf.
struct StaticMesh {
    bool loaded = false;
    bool exported = false;
    std::string filePath;    // full path of the loaded file
    std::string exportPath;  // full path of the last successful export
    // One material per attribute group of the current mesh; empty when there is none.
    std::vector<MeshMaterial> materialArray;
    std::unique_ptr<MeshObject> meshObject;
    // The number of material names of the last build.
    int32_t attributeGroupCount = 0;
};

}  // namespace toravel
