// MeshMaterialList with its Material and TextureFilename blocks, XSkinMeshHeader and
// SkinWeights. Texture and bone names are read as whole raw lines and cut out of their
// quotes, so they may contain blanks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xfile/x_reader.h"

namespace toravel {

namespace {

// The name of a line `"name";`: what lies between the opening quote and the quote before the
// final ';', with blanks before the opening quote and around the ';' ignored. A line of a lone
// quote and ';' gives the empty name. Nothing when the line does not end in ';', does not open
// with a quote, or has no closing quote before the ';'.
std::optional<std::string_view> QuotedName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != '"' || line.back() != ';') {
        return std::nullopt;
    }
    const std::string_view quoted = TrimBlanks(line.substr(0, line.size() - 1));
    if (quoted.size() == 1) {
        return quoted.substr(1);
    }
    if (quoted.back() != '"') {
        return std::nullopt;
    }
    return quoted.substr(1, quoted.size() - 2);
}

}  // namespace

std::string_view XReader::ReadQuotedLine() {
    std::string_view line;
    while (input_.ReadLine(line) && line.empty() && input_.good()) {
    }
    return line;
}

bool XReader::ReadMeshMaterialList(MeshData& mesh) {
    if (!OpenBlock("MeshMaterialList", "MeshMaterialList")) {
        return false;
    }
    if (!ReadCount(mesh.materialCount, "material count %d in material list.") ||
        !ExpectWord(";", "';' after num materials") ||
        !ReadCount(mesh.faceMaterialCount, "face material count %d in material list.") ||
        !ExpectWord(";", "';' after num materials indices")) {
        return false;
    }
    for (int32_t i = 0; i < mesh.faceMaterialCount; ++i) {
        int32_t index = 0;
        input_.ReadInt(index);
        if (!ExpectListWord(i, mesh.faceMaterialCount, "';' at end of material list indices",
                            "',' after material list index number")) {
            return false;
        }
        mesh.faceMaterials.push_back(index);
    }
    for (int32_t j = 0; j < mesh.materialCount; ++j) {
        if (!ReadMaterial(mesh)) {
            return false;
        }
    }
    return CloseBlock();
}

bool XReader::ReadMaterial(MeshData& mesh) {
    MaterialData material;
    std::string_view token = NextToken();
    if (token != "Material") {
        return ReportExpected("Material", token);
    }
    token = NextToken();
    if (token != "{") {
        material.name = token;
        token = NextToken();
    }
    if (token != "{") {
        return ReportExpectedOpen(token);
    }
    char separator = '\0';
    for (float& c : material.faceColour) {
        input_.ReadFloat(c);
        input_.ReadSeparator(separator);
    }
    if (!ExpectWord(";", "';' at end of material color")) {
        return false;
    }
    input_.ReadFloat(material.power);
    separator = '\0';
    const bool extracted = input_.ReadSeparator(separator);
    if (!extracted || separator != ';') {
        return ReportExpected("';' at end of material power", SeparatorText(extracted, separator));
    }
    for (float& c : material.specularColour) {
        input_.ReadFloat(c);
        input_.ReadSeparator(separator);
    }
    if (!ExpectWord(";", "';' at end of material diffuse")) {
        return false;
    }
    for (float& c : material.emissiveColour) {
        input_.ReadFloat(c);
        input_.ReadSeparator(separator);
    }
    if (!ExpectWord(";", "';' at end of material ambient")) {
        return false;
    }
    token = NextToken();
    if (token != "TextureFilename") {
        return ReportExpected("'TextureFilename' in material", token);
    }
    token = NextToken();
    if (token != "{") {
        return ReportExpected("'{' following 'TextureFilename'", token);
    }
    const std::string_view line = ReadQuotedLine();
    if (TrimBlanks(line).empty() || TrimBlanks(line).back() != ';') {
        return ReportExpected("';' after name of texture file in material", line);
    }
    const std::optional<std::string_view> name = QuotedName(line);
    if (!name) {
        return Fail("Invalid texture filename: " + std::string(line));
    }
    material.textureFile = *name;
    token = NextToken();
    if (token != "}") {
        return ReportExpectedClose(token);
    }
    token = NextToken();
    if (token != "}") {
        return ReportExpectedClose(token);
    }
    mesh.materials.push_back(std::move(material));
    return true;
}

bool XReader::ReadSkinMeshHeader(MeshData& mesh) {
    if (!OpenBlock("XSkinMeshHeader", "XSkinMeshHeader")) {
        return false;
    }
    if (!ReadCount(mesh.maxWeightsPerVertex, "weights per vertex %d in XSkinMeshHeader.") ||
        !ExpectWord(";", "';' in XSkinMeshHeader num wts per vert") ||
        !ReadCount(mesh.maxWeightsPerFace, "weights per face %d in XSkinMeshHeader.") ||
        !ExpectWord(";", "';' in XSkinMeshHeader num wts per face") ||
        !ReadCount(mesh.boneCount, "bone count %d in XSkinMeshHeader.") ||
        !ExpectWord(";", "';' in XSkinMeshHeader num bones")) {
        return false;
    }
    return CloseBlock();
}

bool XReader::ReadSkinWeights(MeshData& mesh) {
    // A run of as many blocks as the header declared. Without a header, or with one that
    // declares no bones, the one block met is read; the mesh's bone count then follows the
    // blocks read.
    const int32_t blocks = mesh.boneCount > 0 ? mesh.boneCount : 1;
    for (int32_t b = 0; b < blocks; ++b) {
        std::string_view token = NextToken();
        if (token != "SkinWeights") {
            return ReportExpected("SkinWeights", token);
        }
        token = NextToken();
        if (token != "{") {
            return ReportExpected("SkinWeights open bracket", token);
        }
        const std::string_view line = ReadQuotedLine();
        const std::optional<std::string_view> name = QuotedName(line);
        if (!name) {
            return Fail("Invalid bone name in SkinWeights: " + std::string(line));
        }
        BoneWeights bone;
        bone.boneName = *name;
        if (!ReadCount(bone.weightCount, "weight count %d in SkinWeights.") ||
            !ExpectWord(";", "semicolon after num verts in skinweight")) {
            return false;
        }
        for (int32_t i = 0; i < bone.weightCount; ++i) {
            int32_t index = 0;
            input_.ReadInt(index);
            if (!ExpectListWord(i, bone.weightCount, "semicolon after skinweight vertex indices",
                                "comma after skinweight vertex indices")) {
                return false;
            }
            bone.vertexIndices.push_back(index);
        }
        for (int32_t i = 0; i < bone.weightCount; ++i) {
            float weight = 0;
            input_.ReadFloat(weight);
            if (!ExpectListWord(i, bone.weightCount, "semicolon after skinweight vertex weights",
                                "comma after skinweight vertex weight")) {
                return false;
            }
            bone.weights.push_back(weight);
        }
        if (!ReadMatrixValues(bone.offsetMatrix)) {
            return false;
        }
        token = NextToken();
        if (token != "}") {
            return ReportExpectedClose(token);
        }
        mesh.boneWeights.push_back(std::move(bone));
    }
    return true;
}

}  // namespace toravel
