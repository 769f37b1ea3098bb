#include "app/preview_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include <stb/stb_image_write.h>

#include "preview/png_codec.h"
#include "preview/preview_fixtures.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

struct Outcome {
    int code;
    std::string messages;
};

Outcome Preview(PreviewRequest request) {
    request.quiet = true;
    std::ostringstream messages;
    const int code = RunPreview(request, messages);
    return {code, messages.str()};
}

Outcome Convert(ConvertRequest request) {
    request.quiet = true;
    std::ostringstream messages;
    const int code = RunConvert(request, messages);
    return {code, messages.str()};
}

std::optional<Image> ReadPicture(const std::string& path) {
    std::string error;
    return DecodePicture(TempDir::Read(path), error);
}

TEST(PreviewCommand, ConvertsInMemoryExactlyAsConvertWrites) {
    TempDir dir;
    ConvertRequest request;
    request.reference = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", std::nullopt},
                          {kExamples + "/soldier_wave.smd", "Wave"}};
    request.output = dir.File("out.x");
    ASSERT_EQ(Convert(request).code, kExitDone);
    std::ostringstream messages;
    const std::optional<std::string> inMemory = ConvertInMemory(request, messages);
    ASSERT_TRUE(inMemory) << messages.str();
    EXPECT_EQ(*inMemory, TempDir::Read(request.output));
}

TEST(PreviewCommand, ContactSheetOfTheWalk) {
    TempDir dir;
    PreviewRequest request;
    request.input = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", std::nullopt}};
    request.output = dir.File("walk.png");
    request.settings.frames = "all-8";
    request.settings.width = 100;
    request.settings.height = 80;
    const Outcome outcome = Preview(request);
    ASSERT_EQ(outcome.code, kExitDone) << outcome.messages;
    EXPECT_EQ(outcome.messages, "");
    const std::optional<Image> sheet = ReadPicture(request.output);
    ASSERT_TRUE(sheet);
    // Eight cells in four columns and two rows, with gaps between them.
    EXPECT_EQ(sheet->width(), 4 * 100 + 3 * 2);
    EXPECT_EQ(sheet->height(), 2 * 80 + 2);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"walk.png"});
}

// Every reader failure gives the message that `toravel convert` gives for the same inputs,
// and no picture.
TEST(PreviewCommand, ReaderFailuresGiveTheReadersMessageAndNoFile) {
    struct Case {
        const char* name;
        const char* reference;  // nullptr: a file that does not exist
        const char* animation;  // nullptr: none
    };
    const char* good =
        "version 1\nnodes\n0 \"root\" -1\n1 \"arm\" 0\nend\nskeleton\ntime 0\n"
        "0 0 0 0 0 0 0\n1 0 0 5 0 0 0\nend\ntriangles\nskin.bmp\n"
        "1 0 0 0 0 0 1 0 0 1 1 1\n1 1 0 0 0 0 1 1 0 1 1 1\n"
        "1 0 1 0 0 0 1 0 1 1 1 1\nend\n";
    const Case cases[] = {
        {"missing file", nullptr, nullptr},
        {"wrong version", "version 2\nnodes\nend\n", nullptr},
        {"cut in the triangles",
         "version 1\nnodes\n0 \"root\" -1\nend\nskeleton\ntime 0\n"
         "0 0 0 0 0 0 0\nend\ntriangles\nskin.bmp\n0 0 0 0\n",
         nullptr},
        {"cut X file", "xof 0303txt 0032\nFrame Scene_Root {\n FrameTransformMatrix {\n", nullptr},
        {"binary garbage X", "xof 0303bin 0032\x01\x02\x03", nullptr},
        {"animation of other bones", good,
         "version 1\nnodes\n0 \"other\" -1\nend\nskeleton\ntime 0\n0 0 0 0 0 0 0\nend\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const bool isX = c.reference != nullptr && std::string(c.reference).starts_with("xof");
        const std::string input = isX ? "model.x" : "model.smd";
        const std::string reference =
            c.reference != nullptr ? dir.Write(input, c.reference) : dir.File(input);
        std::vector<AnimationInput> animations;
        if (c.animation != nullptr) {
            animations.push_back({dir.Write("anim.smd", c.animation), std::nullopt});
        }
        ConvertRequest convert;
        convert.reference = reference;
        convert.animations = animations;
        convert.output = dir.File("out.x");
        const Outcome converted = Convert(convert);
        ASSERT_EQ(converted.code, kExitFailed);
        ASSERT_NE(converted.messages, "");

        PreviewRequest preview;
        preview.input = reference;
        preview.animations = animations;
        preview.output = dir.File("out.png");
        const Outcome previewed = Preview(preview);
        EXPECT_EQ(previewed.code, kExitFailed);
        EXPECT_EQ(previewed.messages, converted.messages);
        EXPECT_FALSE(std::filesystem::exists(preview.output));
    }
}

TEST(PreviewCommand, WhatWasAskedForMustExist) {
    struct Case {
        const char* name;
        std::optional<std::string> set;
        std::optional<std::string> frames;
        const char* says;
    };
    const Case cases[] = {
        {"unknown set", "run", std::nullopt,
         "there is no animation set named run; the sets are soldier_walk"},
        {"frame past the end", std::nullopt, "0,24", "frame 24 is past the last frame (23)"},
        {"no frame number", std::nullopt, "0,,3", "'' is no frame number"},
        {"bad count", std::nullopt, "all-0", "all-N takes N from 1 to 1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        PreviewRequest request;
        request.input = kExamples + "/soldier_reference.smd";
        request.animations = {{kExamples + "/soldier_walk.smd", std::nullopt}};
        request.output = dir.File("out.png");
        request.settings.setName = c.set;
        request.settings.frames = c.frames;
        const Outcome outcome = Preview(request);
        EXPECT_EQ(outcome.code, kExitUsage);
        EXPECT_NE(outcome.messages.find(c.says), std::string::npos) << outcome.messages;
        EXPECT_FALSE(std::filesystem::exists(request.output));
    }
    // A model without sets has no frames to show.
    TempDir dir;
    PreviewRequest request;
    request.input = kExamples + "/soldier_reference.smd";
    request.output = dir.File("out.png");
    request.settings.frames = "0";
    const Outcome outcome = Preview(request);
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_NE(outcome.messages.find("the model has no animation sets"), std::string::npos);
}

TEST(PreviewCommand, OutputRules) {
    TempDir dir;
    const std::string reference =
        dir.Write("ref.smd", TempDir::Read(kExamples + "/soldier_reference.smd"));
    PreviewRequest request;
    request.input = reference;
    // Never over an input, even with --force.
    request.output = reference;
    request.force = true;
    EXPECT_EQ(Preview(request).code, kExitUsage);
    EXPECT_EQ(TempDir::Read(reference), TempDir::Read(kExamples + "/soldier_reference.smd"));
    // An existing picture only with --force.
    request.output = dir.Write("old.png", "old");
    request.force = false;
    const Outcome refused = Preview(request);
    EXPECT_EQ(refused.code, kExitFailed);
    EXPECT_NE(refused.messages.find("use --force to replace it"), std::string::npos);
    EXPECT_EQ(TempDir::Read(request.output), "old");
    request.force = true;
    EXPECT_EQ(Preview(request).code, kExitDone);
    EXPECT_TRUE(ReadPicture(request.output));
    // Nothing is left beside it.
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"old.png", "ref.smd"}));
}

TEST(PreviewCommand, MissingTextureIsANoteAndAFoundOneIsDrawn) {
    TempDir dir;
    const std::string reference =
        dir.Write("ref.smd", TempDir::Read(kExamples + "/soldier_reference.smd"));
    PreviewRequest request;
    request.input = reference;
    request.output = dir.File("flat.png");
    request.textures = true;
    request.settings.view = ViewKind::kFront;
    request.settings.grid = false;
    const Outcome flat = Preview(request);
    EXPECT_EQ(flat.code, kExitDone);
    for (const char* texture : {"soldier_body.bmp", "soldier_head.bmp", "soldier_legs.bmp"}) {
        const std::string note = "Texture Missing: The texture " + std::string(texture) +
                                 " cannot be read; its material is drawn in a flat colour.";
        const size_t at = flat.messages.find(note);
        EXPECT_NE(at, std::string::npos) << flat.messages;
        EXPECT_EQ(flat.messages.find(note, at + 1), std::string::npos) << "noted once";
    }
    ASSERT_TRUE(ReadPicture(request.output));

    // A pure red texture for every part: the picture's model turns red, lit and shaded.
    const unsigned char red[4 * 4 * 3] = {
        255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0,
        255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    for (const char* texture : {"soldier_body.bmp", "soldier_head.bmp", "soldier_legs.bmp"}) {
        ASSERT_NE(stbi_write_bmp(dir.File(texture).c_str(), 4, 4, 3, red), 0);
    }
    request.output = dir.File("red.png");
    const Outcome textured = Preview(request);
    EXPECT_EQ(textured.code, kExitDone);
    EXPECT_EQ(textured.messages, "");
    const std::optional<Image> flatPicture = ReadPicture(dir.File("flat.png"));
    const std::optional<Image> redPicture = ReadPicture(request.output);
    ASSERT_TRUE(flatPicture && redPicture);
    size_t model = 0;
    size_t reddish = 0;
    const Rgb background = RenderStyle{}.background;
    for (int y = 0; y < redPicture->height(); ++y) {
        for (int x = 0; x < redPicture->width(); ++x) {
            const Rgb flatPixel = flatPicture->At(x, y);
            if (flatPixel == background) {
                continue;
            }
            ++model;
            const Rgb c = redPicture->At(x, y);
            reddish += c.r > 40 && c.g == 0 && c.b == 0 ? 1 : 0;
        }
    }
    ASSERT_GT(model, 1000u);
    EXPECT_GT(reddish, model * 95 / 100);
}

// Whether `c` is `texel` under some light between the ambient and full, as the preview
// lights a face: every channel scaled by the same factor and rounded.
bool TexelUnderLight(Rgb c, Rgb texel) {
    const double light = c.r / static_cast<double>(texel.r);
    auto near = [light](uint8_t channel, uint8_t of) {
        return std::abs(channel - light * of) <= 1.5;
    };
    return light > 0.3 && light < 1.01 && near(c.g, texel.g) && near(c.b, texel.b);
}

TEST(PreviewCommand, TgaAndPngTexturesBesideTheInputAreDrawn) {
    // The three boxes name red, green and blue textures; each is one colour here, and blue's
    // is missing.
    const Rgb texels[2] = {{200, 100, 50}, {50, 200, 100}};
    for (const std::string extension : {".tga", ".png"}) {
        SCOPED_TRACE(extension);
        TempDir dir;
        std::string smd = testing::BoxChainSmd();
        for (size_t at = smd.find(".bmp"); at != std::string::npos; at = smd.find(".bmp", at)) {
            smd.replace(at, 4, extension);
        }
        PreviewRequest request;
        request.input = dir.Write("boxes.smd", smd);
        request.textures = true;
        request.settings.grid = false;
        request.settings.width = 200;
        request.settings.height = 150;
        request.output = dir.File("flat.png");
        ASSERT_EQ(Preview(request).code, kExitDone);

        for (int i = 0; i < 2; ++i) {
            const unsigned char pixels[2 * 2 * 3] = {
                texels[i].r, texels[i].g, texels[i].b, texels[i].r, texels[i].g, texels[i].b,
                texels[i].r, texels[i].g, texels[i].b, texels[i].r, texels[i].g, texels[i].b};
            const std::string path = dir.File((i == 0 ? "red" : "green") + extension);
            ASSERT_NE(extension == ".tga" ? stbi_write_tga(path.c_str(), 2, 2, 3, pixels)
                                          : stbi_write_png(path.c_str(), 2, 2, 3, pixels, 6),
                      0);
        }
        request.output = dir.File("textured.png");
        const Outcome textured = Preview(request);
        EXPECT_EQ(textured.code, kExitDone);
        EXPECT_NE(textured.messages.find("Texture Missing: The texture blue" + extension +
                                         " cannot be read; its material is drawn in a flat "
                                         "colour."),
                  std::string::npos)
            << textured.messages;
        EXPECT_EQ(textured.messages.find("red" + extension), std::string::npos);
        EXPECT_EQ(textured.messages.find("green" + extension), std::string::npos);

        const std::optional<Image> flat = ReadPicture(dir.File("flat.png"));
        const std::optional<Image> picture = ReadPicture(request.output);
        ASSERT_TRUE(flat && picture);
        size_t model = 0;
        size_t ofTexture[2] = {0, 0};
        size_t unchanged = 0;  // the blue box keeps its flat colour
        for (int y = 0; y < picture->height(); ++y) {
            for (int x = 0; x < picture->width(); ++x) {
                if (flat->At(x, y) == RenderStyle{}.background) {
                    continue;
                }
                ++model;
                const Rgb c = picture->At(x, y);
                ofTexture[0] += TexelUnderLight(c, texels[0]) ? 1 : 0;
                ofTexture[1] += TexelUnderLight(c, texels[1]) ? 1 : 0;
                unchanged += c == flat->At(x, y) ? 1 : 0;
            }
        }
        ASSERT_GT(model, 2000u);
        EXPECT_GT(ofTexture[0], model / 5);
        EXPECT_GT(ofTexture[1], model / 5);
        EXPECT_GT(unchanged, model / 10);
        // Edges may mix, but every face pixel is one of the three.
        EXPECT_GT(ofTexture[0] + ofTexture[1] + unchanged, model * 98 / 100);
    }
}

}  // namespace
}  // namespace toravel
