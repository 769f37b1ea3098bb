// The general X reader on its fixtures: each text fixture reads to what the fixture says,
// and its binary and compressed encodings read to the same records.
#include "xfile/x_general_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "xfile/x_encodings.h"
#include "xfile/x_general_fixtures.h"

namespace toravel::testing {
namespace {

class XGeneralFixtureTest : public ::testing::TestWithParam<size_t> {
  protected:
    const XFixture& fixture() const { return XGeneralFixtures()[GetParam()]; }
};

TEST_P(XGeneralFixtureTest, TextReadsAsTheFixtureSays) {
    const XGeneralResult result = ReadXGeneral(fixture().text, "case.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
    const XCounts counts = CountsOf(*result.content);
    EXPECT_EQ(counts.frames, fixture().counts.frames);
    EXPECT_EQ(counts.triangles, fixture().counts.triangles);
    EXPECT_EQ(counts.bones, fixture().counts.bones);
    EXPECT_EQ(counts.sets, fixture().counts.sets);
    fixture().check(*result.content);
}

TEST_P(XGeneralFixtureTest, BinaryAndCompressedEncodingsReadTheSameRecords) {
    const XGeneralResult text = ReadXGeneral(fixture().text, "case.x");
    ASSERT_TRUE(text.ok()) << text.error;
    const std::string binary = TextToBinaryX(fixture().text);
    struct Encoded {
        const char* what;
        std::string bytes;
        XEncoding encoding;
    };
    // Small blocks make every block but the first depend on the history before it.
    const Encoded encodings[] = {
        {"binary", binary, XEncoding::kBinary},
        {"tzip", CompressX(fixture().text), XEncoding::kCompressedText},
        {"tzip in 61-byte blocks", CompressX(fixture().text, 61), XEncoding::kCompressedText},
        {"bzip", CompressX(binary), XEncoding::kCompressedBinary},
        {"bzip in 50-byte blocks", CompressX(binary, 50), XEncoding::kCompressedBinary},
    };
    for (const Encoded& encoded : encodings) {
        SCOPED_TRACE(encoded.what);
        const XGeneralResult result = ReadXGeneral(encoded.bytes, "case.x");
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.content->format.encoding, encoded.encoding);
        EXPECT_EQ(result.content->format.floatBits, text.content->format.floatBits);
        EXPECT_EQ(FirstDifference(*result.content, *text.content), "");
        EXPECT_EQ(result.warnings, text.warnings);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XGeneralFixtureTest,
                         ::testing::Range<size_t>(0, XGeneralFixtures().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return XGeneralFixtures()[info.param].name;
                         });

}  // namespace
}  // namespace toravel::testing
