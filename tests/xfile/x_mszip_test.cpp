// The compressed encodings: damaged or oversized data ends the read with a message, never a
// crash, and data that inflates far beyond its size is refused.
#include "xfile/x_mszip.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "xfile/x_encodings.h"
#include "xfile/x_general_reader.h"

namespace toravel::testing {
namespace {

const std::string kText =
    "xof 0303txt 0032\nFrame Scene_Root {\n Frame Hip {\n  FrameTransformMatrix {\n"
    "   1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,2.0,0.0,1.0;;\n  }\n }\n}\n";

// Offsets in a compressed file: the declared size, then the first block's header, its
// signature and its deflate data.
constexpr size_t kDeclared = 16, kBlock = 20, kSignature = 24, kDeflate = 26;

void SetWord(std::string& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

uint32_t WordAt(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

TEST(XMsZip, ReadsWhatTheTextSays) {
    const XGeneralResult result = ReadXGeneral(CompressX(kText, 40), "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.content->frames.at(1).localMatrix(3, 1), 2.0f);
    EXPECT_TRUE(result.warnings.empty());
}

TEST(XMsZip, PlacesInInflatedTextAreLinesOfTheUncompressedFile) {
    const std::string text = kText + "Frame Broken {\n 1.0;\n}\n";
    EXPECT_EQ(ReadXGeneral(CompressX(text, 40), "case.x").error,
              "case.x, line 10 of the inflated text: expected a data object or '}' in Frame "
              "'Broken', found '1.0'");
}

TEST(XMsZip, RefusesDataThatInflatesToMoreThan64TimesItsSize) {
    // Zeros compress to almost nothing: 1 MiB of them takes about a kilobyte.
    const std::string bomb = "xof 0303txt 0032\n" + std::string(1 << 20, ' ');
    const std::string compressed = CompressX(bomb);
    ASSERT_LT(compressed.size() * 64, bomb.size());
    const XGeneralResult result = ReadXGeneral(compressed, "case.x");
    EXPECT_EQ(result.error,
              "case.x: the compressed data inflates to more than 64 times its size (or more "
              "than 4 GiB); it is refused (it declares " +
                  std::to_string(bomb.size()) + " bytes)");
}

TEST(XMsZip, RefusesBlocksBeyondTheLimitWhateverTheDeclaredSize) {
    std::string compressed = CompressX("xof 0303txt 0032\n" + std::string(1 << 20, ' '));
    SetWord(compressed, kDeclared, 100);
    SetWord(compressed, kDeclared + 2, 0);
    EXPECT_EQ(ReadXGeneral(compressed, "case.x").error,
              "case.x: the compressed data inflates to more than 64 times its size (or more "
              "than 4 GiB); it is refused");
}

TEST(XMsZip, AcceptsASizeMismatchWithAWarning) {
    std::string compressed = CompressX(kText);
    SetWord(compressed, kDeclared, static_cast<uint32_t>(kText.size() + 5));
    const XGeneralResult result = ReadXGeneral(compressed, "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.warnings, std::vector<std::string>{"case.x: the compressed data declares " +
                                                        std::to_string(kText.size() + 5) +
                                                        " bytes uncompressed and inflates to " +
                                                        std::to_string(kText.size())});
}

struct Damage {
    const char* name;
    void (*apply)(std::string&);
    std::string message;
};

// Names the case in the test output; by default GoogleTest prints the object's bytes, some of
// which (padding, unused string storage) were never set.
void PrintTo(const Damage& c, std::ostream* os) {
    *os << c.name;
}

const std::string kBody = std::to_string(kText.size() - 16);

const Damage kDamages[] = {
    {"NoSignature", [](std::string& b) { b[kSignature] = 'X'; },
     "case.x: expected the signature 'CK' of MSZIP block 1 at byte offset 24"},
    {"ReservedBlockType", [](std::string& b) { b[kDeflate] = 0x07; },
     "case.x: the deflate data of MSZIP block 1 is damaged or ends early (invalid block type) "
     "at byte offset 26"},
    {"CompressedSizePastTheEnd",
     [](std::string& b) { SetWord(b, kBlock + 2, static_cast<uint32_t>(b.size())); },
     "case.x: MSZIP block 1 says it holds ",
     /* checked as a prefix */},
    {"InflatesToMore", [](std::string& b) { SetWord(b, kBlock, WordAt(b, kBlock) - 1); },
     "case.x: MSZIP block 1 inflates to more than the " + std::to_string(kText.size() - 17) +
         " bytes its header says at byte offset 20"},
    {"InflatesToLess", [](std::string& b) { SetWord(b, kBlock, WordAt(b, kBlock) + 1); },
     "case.x: MSZIP block 1 inflates to " + kBody + " bytes, but its header says " +
         std::to_string(kText.size() - 15) + " at byte offset 20"},
    {"CutInsideTheDeflateData",
     [](std::string& b) {
         b.resize(b.size() - 3);
         SetWord(b, kBlock + 2, static_cast<uint32_t>(b.size() - kSignature));
     },
     "case.x: the deflate data of MSZIP block 1 is damaged or ends early at byte offset 26"},
    {"CutInsideABlockHeader", [](std::string& b) { b += "\x05"; },
     "case.x: the header of MSZIP block 2 runs past the end of the data at byte offset "},
    {"NoSizeAtAll", [](std::string& b) { b.resize(18); },
     "case.x: the compressed data ends before its size at byte offset 16"},
};

class XMsZipDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(XMsZipDamage, EndsTheReadWithItsMessage) {
    std::string compressed = CompressX(kText);
    GetParam().apply(compressed);
    const XGeneralResult result = ReadXGeneral(compressed, "case.x");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error.substr(0, GetParam().message.size()), GetParam().message)
        << result.error;
}

INSTANTIATE_TEST_SUITE_P(Damages, XMsZipDamage, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace toravel::testing
