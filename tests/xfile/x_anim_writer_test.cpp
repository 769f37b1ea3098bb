#include <gtest/gtest.h>

#include <string>

#include "xfile/x_writer.h"

namespace toravel {
namespace {

template <typename F>
std::string Capture(F write) {
    StringSink sink;
    TextWriter out(sink);
    write(out);
    EXPECT_TRUE(out.Finish());
    return sink.text;
}

TimedKey MatrixKey(uint32_t time, const Matrix& m) {
    TimedKey key;
    key.time = time;
    key.valueCount = 16;
    key.isMatrix = true;
    key.matrix = m;
    return key;
}

TimedKey ValueKey(uint32_t time, uint32_t valueCount, std::vector<float> values) {
    TimedKey key;
    key.time = time;
    key.valueCount = valueCount;
    key.values = std::move(values);
    return key;
}

TEST(WriteAnimationSet, WalkByteForByte) {
    AnimSet set;
    set.name = "Walk";
    NodeAnimation& pelvis = set.animations.emplace_back();
    pelvis.name = "Pelvis";
    KeyTrack& track = pelvis.tracks.emplace_back();
    track.keyType = 4;
    track.keyCount = 2;
    track.keys = {MatrixKey(0, IdentityMatrix()), MatrixKey(1000, TranslationMatrix(1.5f, -2, 0))};
    EXPECT_EQ(Capture([&](TextWriter& out) { WriteAnimationSet(out, set); }),
              R"(
AnimationSet Walk {
 Animation {
  AnimationKey {
   4;
   2;
   0;16;1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000;;,
   1000;16;1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,1.500000,-2.000000,0.000000,1.000000;;;
  }
  { Pelvis }
 }
})");
}

TEST(WriteAnimationSet, TwoSetsInARowAndEmptyParts) {
    // The second set is unnamed and empty; an animation without tracks keeps its reference.
    AnimSet first;
    first.name = "Idle";
    first.animations.emplace_back().name = "Bip01";
    const AnimSet second;
    EXPECT_EQ(Capture([&](TextWriter& out) {
                  WriteAnimationSet(out, first);
                  WriteAnimationSet(out, second);
              }),
              "\nAnimationSet Idle {\n Animation {\n  { Bip01 }\n }\n}\nAnimationSet {\n}");
}

TEST(WriteAnimationKey, StoredKeyCountAndValueKeys) {
    KeyTrack track;
    track.keyType = 2;
    track.keyCount = 3;
    track.keys = {ValueKey(4294967295u, 0, {}), ValueKey(0, 3, {1, 0.5f, -2})};
    EXPECT_EQ(Capture([&](TextWriter& out) { WriteAnimationKey(out, track, 2); }),
              "  AnimationKey {\n"
              "   2;\n"
              "   3;\n"
              "   4294967295;0;;,\n"
              "   0;3;1.000000,0.500000,-2.000000;;;\n"
              "  }\n");
}

TEST(WriteTimedKey, ValueCountBeyondValuesIsClamped) {
    // The written count matches the values actually written.
    EXPECT_EQ(Capture([](TextWriter& out) {
                  WriteTimedKey(out, ValueKey(7, 5, {1, 2}), 1, true);
                  WriteTimedKey(out, ValueKey(8, 1, {1, 2}), 0, false);
              }),
              " 7;2;1.000000,2.000000;;;\n8;1;1.000000;;,\n");
}

TEST(WriteTimedKey, MatrixKeyIgnoresValues) {
    TimedKey key = MatrixKey(2000, IdentityMatrix());
    key.valueCount = 3;  // written as stored; the matrix still gives sixteen numbers
    key.values = {9, 9};
    const std::string text = Capture([&](TextWriter& out) { WriteTimedKey(out, key, 0, false); });
    EXPECT_EQ(text,
              "2000;3;1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,"
              "0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000;;,\n");
}

}  // namespace
}  // namespace toravel
