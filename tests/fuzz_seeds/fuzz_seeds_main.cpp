// Writes the seed corpora of the fuzz targets into the folder given: the example models, the
// small SMD fixtures of the tests, the example written as X by Toravel, and every fixture of
// the general X reader in each of its four encodings.
//
//   toravel_fuzz_seeds FOLDER   (FOLDER/smd_reference, FOLDER/x_general, ...)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "smd/smd_reader.h"
#include "support/smd_fixtures.h"
#include "text/text_writer.h"
#include "xfile/x_encodings.h"
#include "xfile/x_general_fixtures.h"
#include "xfile/x_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace toravel;

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// The X file that `toravel convert` writes for a reference and its animations.
std::string ConvertedX(const std::string& reference, const std::vector<std::string>& animations) {
    SmdReadResult read = ReadSmdReference(reference);
    if (!read.ok()) {
        return {};
    }
    std::vector<AnimSet> sets;
    for (size_t i = 0; i < animations.size(); ++i) {
        SmdReadResult animation = ReadSmdAnimation(animations[i]);
        if (animation.ok()) {
            sets.push_back(BuildAnimSet(animation.nodes, "set_" + std::to_string(i)));
        }
    }
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    if (!WriteXDocument(out, read.nodes, sets, {}, failure)) {
        return {};
    }
    out.Finish();
    return sink.text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path examples = TORAVEL_EXAMPLES_DIR;
    const std::string reference = ReadWhole(examples / "soldier_reference.smd");
    const std::string walk = ReadWhole(examples / "soldier_walk.smd");
    const std::string wave = ReadWhole(examples / "soldier_wave.smd");

    for (const char* target : {"smd_reference", "static_smd"}) {
        Put(root / target, "soldier_reference.smd", reference);
        Put(root / target, "two_bones.smd", testing::kReference);
    }
    Put(root / "smd_animation", "soldier_walk.smd", walk);
    Put(root / "smd_animation", "soldier_wave.smd", wave);
    Put(root / "smd_animation", "two_bones_anim.smd", testing::kAnimation);

    const std::string soldier = ConvertedX(reference, {walk, wave});
    const std::string small = ConvertedX(testing::kReference, {testing::kAnimation});
    for (const char* target : {"x_strict", "x_general"}) {
        Put(root / target, "soldier.x", soldier);
        Put(root / target, "two_bones.x", small);
    }
    Put(root / "x_general", "two_bones_bin.x", testing::TextToBinaryX(small));
    for (const testing::XFixture& fixture : testing::XGeneralFixtures()) {
        const std::string binary = testing::TextToBinaryX(fixture.text);
        Put(root / "x_general", fixture.name + "_txt.x", fixture.text);
        Put(root / "x_general", fixture.name + "_bin.x", binary);
        Put(root / "x_general", fixture.name + "_tzip.x", testing::CompressX(fixture.text, 512));
        Put(root / "x_general", fixture.name + "_bzip.x", testing::CompressX(binary, 512));
    }
    return 0;
}
