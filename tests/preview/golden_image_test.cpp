// A tiny picture compared with a stored one, pixel by pixel with a tolerance, so that any
// change in what the renderer draws shows up as a diff to look at. After a deliberate
// change, run the test with TORAVEL_UPDATE_GOLDEN=1 and commit the new picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "preview/png_codec.h"
#include "preview/preview_picture.h"
#include "preview_fixtures.h"

namespace toravel {
namespace {

const std::filesystem::path kGolden =
    std::filesystem::path(__FILE__).parent_path() / "golden" / "box_chain.png";

TEST(PreviewGolden, BoxChainWithBonesAndGrid) {
    const XGeneralContent model = testing::ConvertSmd(testing::BoxChainSmd());
    PreviewSettings settings;
    settings.width = 96;
    settings.height = 72;
    settings.bones = true;
    const Image picture = RenderPreview(model.frames, PreviewPlan{}, settings);
    const std::string png = EncodePng(picture);
    ASSERT_FALSE(png.empty());

    if (std::getenv("TORAVEL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(kGolden, std::ios::binary) << png;
        GTEST_SKIP() << "wrote " << kGolden;
    }
    std::string error;
    const std::optional<Image> golden = DecodePicture(testing::ReadText(kGolden.string()), error);
    ASSERT_TRUE(golden) << kGolden << ": " << error;
    ASSERT_EQ(golden->width(), picture.width());
    ASSERT_EQ(golden->height(), picture.height());
    int differing = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb a = picture.At(x, y);
            const Rgb b = golden->At(x, y);
            const int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            differing += d > 12 ? 1 : 0;
        }
    }
    // A few pixels on edges may fall the other way with another compiler's rounding.
    if (differing > picture.width() * picture.height() / 200) {
        const std::filesystem::path actual =
            std::filesystem::temp_directory_path() / "toravel-box_chain-actual.png";
        std::ofstream(actual, std::ios::binary) << png;
        ADD_FAILURE() << differing << " pixels differ from " << kGolden << "; this run drew "
                      << actual;
    }
}

}  // namespace
}  // namespace toravel
