// The static mesh commands: "Load SMD Static Mesh" reads an SMD file as a static triangle mesh
// and builds a mesh object with one attribute group and one material per texture name;
// "Export Static Mesh" saves that mesh as a text X file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/documents.h"
#include "app/user_interaction.h"
#include "errortext/error_text.h"
#include "staticmesh/mesh_layer.h"
#include "staticmesh/static_smd_reader.h"

namespace toravel {

// The command: asks for an SMD file, empties the document and builds the mesh. True when a
// mesh was loaded. Requests a repaint in every case.
bool LoadStaticMesh(StaticMesh& mesh, MeshLayer& layer, UserInteraction& ui);
// The same for a file already chosen.
bool LoadStaticMesh(StaticMesh& mesh, MeshLayer& layer, const FileChoice& choice,
                    UserInteraction& ui);

// Releases the current mesh and builds a new one from the SMD file at `path`. S_OK on
// success, E_FAIL for every failure, after that failure's message (if it has one).
Hresult BuildStaticMesh(StaticMesh& mesh, MeshLayer& layer, const std::string& path,
                        UserInteraction& ui);

// Releases the mesh object and the material array.
void ReleaseStaticMesh(StaticMesh& mesh);

// The command: asks for the file (an open dialog: any name, no question when it exists, no
// extension added) and saves the mesh there. The file is written beside the target under a
// temporary name and renamed over it once complete, so a failed save leaves an existing file
// untouched. True when the file was written.
bool ExportStaticMesh(StaticMesh& mesh, MeshLayer& layer, UserInteraction& ui);
// The same for a file already chosen.
bool ExportStaticMesh(StaticMesh& mesh, MeshLayer& layer, const FileChoice& choice,
                      UserInteraction& ui);

}  // namespace toravel
