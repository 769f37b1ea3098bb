// Damaged input: every prefix of every fixture in every encoding, and a few hundred byte
// mutations of each, either read or fail with one message that names the file and the
// place. Run under the asan preset, this also shows that nothing reads out of bounds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "xfile/x_encodings.h"
#include "xfile/x_general_fixtures.h"
#include "xfile/x_general_reader.h"

namespace toravel::testing {
namespace {

constexpr int kMutations = 300;

std::vector<std::pair<std::string, std::string>> Encodings(const std::string& text) {
    const std::string binary = TextToBinaryX(text);
    return {{"text", text},
            {"binary", binary},
            {"tzip", CompressX(text, 97)},
            {"bzip", CompressX(binary, 97)}};
}

// A failure names the file first; one with a place names it next.
void ExpectCleanOutcome(const XGeneralResult& result) {
    if (result.ok()) {
        EXPECT_TRUE(result.error.empty());
        return;
    }
    ASSERT_FALSE(result.error.empty());
    EXPECT_TRUE(result.error.rfind("case.x: ", 0) == 0 || result.error.rfind("case.x, ", 0) == 0)
        << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    for (const std::string& warning : result.warnings) {
        EXPECT_EQ(warning.rfind("case.x", 0), 0u) << warning;
    }
}

class XGeneralRobustnessTest : public ::testing::TestWithParam<size_t> {
  protected:
    const XFixture& fixture() const { return XGeneralFixtures()[GetParam()]; }
};

TEST_P(XGeneralRobustnessTest, EveryPrefixReadsOrFailsCleanly) {
    for (const auto& [what, bytes] : Encodings(fixture().text)) {
        SCOPED_TRACE(what);
        for (size_t n = 0; n < bytes.size(); ++n) {
            const XGeneralResult result =
                ReadXGeneral(std::string_view(bytes).substr(0, n), "case.x");
            ExpectCleanOutcome(result);
            if (::testing::Test::HasFailure()) {
                FAIL() << "prefix of " << n << " bytes";
            }
        }
    }
}

TEST_P(XGeneralRobustnessTest, MutatedBytesReadOrFailCleanly) {
    std::mt19937 random(static_cast<uint32_t>(GetParam()) + 1);
    for (const auto& [what, bytes] : Encodings(fixture().text)) {
        SCOPED_TRACE(what);
        std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
        std::uniform_int_distribution<int> value(0, 255);
        // Digits and braces are the bytes whose change moves counts and nesting.
        const std::string telling = "9{}0-;,\"<";
        for (int m = 0; m < kMutations; ++m) {
            std::string mutated = bytes;
            const int changes = 1 + m % 3;
            for (int c = 0; c < changes; ++c) {
                const size_t i = at(random);
                mutated[i] = m % 2 == 0
                                 ? static_cast<char>(value(random))
                                 : telling[static_cast<size_t>(value(random)) % telling.size()];
            }
            ExpectCleanOutcome(ReadXGeneral(mutated, "case.x"));
            if (::testing::Test::HasFailure()) {
                FAIL() << "mutation " << m;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XGeneralRobustnessTest,
                         ::testing::Range<size_t>(0, XGeneralFixtures().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return XGeneralFixtures()[info.param].name;
                         });

}  // namespace
}  // namespace toravel::testing
