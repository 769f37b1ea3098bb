#include "staticmesh/static_smd_reader.h"

#include <unordered_map>

#include "text/line_tokenizer.h"
#include "smd/smd_sections.h"
#include "smd/smd_triangles.h"

namespace toravel {

namespace {

// The header, the nodes and the triangles are read by the same readers as a reference file's;
// the skeleton is passed over. False at the first violation, showing nothing.
bool ReadStaticSmd(TextInput& input, StaticTriangleSet& set) {
    LineTokenizer tokenizer;
    NodeList nodes;
    ReadReport ignored;  // every violation reads as the one format error
    if (!ReadHeader(input) || !ReadNodes(input, tokenizer, nodes, ignored) ||
        !SkipSkeleton(input, tokenizer, ignored) || tokenizer.NextToken(input) != "triangles") {
        return false;
    }
    std::unordered_map<std::string, int32_t> materialIndex;
    SmdTriangle read;
    for (;;) {
        switch (ReadSmdTriangle(input, tokenizer, read)) {
            case TriangleRead::kEnd:
                return true;
            case TriangleRead::kNoToken:
            case TriangleRead::kBadVertex:
                return false;
            case TriangleRead::kTriangle:
                break;
        }
        const auto [entry, added] = materialIndex.try_emplace(
            std::string(read.texture), static_cast<int32_t>(materialIndex.size()));
        if (added) {
            set.materialNames.push_back(entry->first);
        }
        StaticTriangle& triangle = set.triangles.emplace_back();
        for (size_t k = 0; k < 3; ++k) {
            triangle.cornerPositions[k] = ToYUp(read.vertices[k].position);
            triangle.cornerNormals[k] = ToYUp(read.vertices[k].normal);
            triangle.cornerTexCoords[k] = ToXTexCoord(read.vertices[k].texCoord);
        }
        set.triangleMaterials.push_back(entry->second);
    }
}

}  // namespace

bool ParseStaticSmd(TextInput& input, StaticTriangleSet& set, ReadReport& report) {
    set = StaticTriangleSet();
    if (!ReadStaticSmd(input, set)) {
        set = StaticTriangleSet();
        report.Fail("Invalid SMD file format", "Load Error");
        report.SetPosition({input.StopLine(), std::nullopt});
        if (input.lineTooLong()) {
            report.SetHint(LineTooLongHint(input.StopLine()));
        }
        return false;
    }
    return true;
}

bool ParseStaticSmd(std::string_view bytes, StaticTriangleSet& set, ReadReport& report) {
    TextInput input = TextInput::View(bytes);
    return ParseStaticSmd(input, set, report);
}

}  // namespace toravel
