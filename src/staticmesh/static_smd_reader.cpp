#include "staticmesh/static_smd_reader.h"

#include <unordered_map>

namespace toravel {

namespace {

// Reads lines with the states of a line-reading stream: after the end of the input or a line
// longer than TextInput::kMaxLineLength, the reader is no longer good and every further line
// reads as empty.
class LineReader {
  public:
    explicit LineReader(TextInput& input) : input_(input) {}

    std::string_view Next() {
        std::string_view line;
        if (!input_.ReadLine(line)) {
            return {};
        }
        return line;
    }
    bool good() const { return input_.good(); }

  private:
    TextInput& input_;
};

// Lines up to one that is exactly "end"; afterwards the reader must still be good.
bool SkipSection(LineReader& reader) {
    while (reader.good() && reader.Next() != "end") {
    }
    return reader.good();
}

// "%d %f %f %f %f %f %f %f %f": bone, position, normal, texture coordinate. Text after the
// ninth number is ignored.
bool ScanCorner(std::string_view line, Vector3& position, Vector3& normal, Vector2& texCoord) {
    int32_t bone = 0;
    size_t used = ParseInt(line, bone);
    if (used == 0) {
        return false;
    }
    line.remove_prefix(used);
    float numbers[8];
    for (float& number : numbers) {
        used = ParseFloat(line, number);
        if (used == 0) {
            return false;
        }
        line.remove_prefix(used);
    }
    position = {numbers[0], numbers[2], -numbers[1]};
    normal = {numbers[3], numbers[5], -numbers[4]};
    texCoord = {numbers[6], 1.0f - numbers[7]};
    return true;
}

bool ReadStaticSmd(LineReader& reader, StaticTriangleSet& set) {
    if (reader.Next() != "version 1" || reader.Next() != "nodes" || !SkipSection(reader) ||
        reader.Next() != "skeleton" || !SkipSection(reader) || reader.Next() != "triangles") {
        return false;
    }
    std::unordered_map<std::string, int32_t> materialIndex;
    for (;;) {
        const std::string_view name = reader.Next();
        if (name == "end") {
            return true;
        }
        const auto [entry, added] = materialIndex.try_emplace(
            std::string(name), static_cast<int32_t>(materialIndex.size()));
        if (added) {
            set.materialNames.push_back(entry->first);
        }
        StaticTriangle triangle;
        for (size_t k = 0; k < 3; ++k) {
            if (!ScanCorner(reader.Next(), triangle.cornerPositions[k], triangle.cornerNormals[k],
                            triangle.cornerTexCoords[k])) {
                return false;
            }
        }
        if (!reader.good()) {
            return false;
        }
        set.triangleMaterials.push_back(entry->second);
        set.triangles.push_back(triangle);
    }
}

}  // namespace

bool ParseStaticSmd(TextInput& input, StaticTriangleSet& set, UserInteraction& ui) {
    set = StaticTriangleSet();
    LineReader reader(input);
    if (!ReadStaticSmd(reader, set)) {
        ui.ShowMessage("Invalid SMD file format", "Load Error");
        return false;
    }
    return true;
}

bool ParseStaticSmd(const std::string& path, StaticTriangleSet& set, UserInteraction& ui) {
    set = StaticTriangleSet();
    std::optional<TextInput> input = TextInput::OpenFile(path);
    if (!input) {
        ui.ShowMessage("Invalid filename for SMD load", "Load Error");
        return false;
    }
    return ParseStaticSmd(*input, set, ui);
}

}  // namespace toravel
