#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "text/text_writer.h"

namespace toravel {
namespace {

std::string Printf(float v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%7.6f", static_cast<double>(v));
    return buf;
}

// The C library of mingw-w64 prints every NaN as "nan", whatever its sign; the writer keeps
// the sign as glibc does, so its NaNs are compared with the table alone there.
bool PrintfDropsNanSign(float v) {
#ifdef _WIN32
    return std::isnan(v);
#else
    (void)v;
    return false;
#endif
}

std::string Written(float v) {
    StringSink sink;
    TextWriter out(sink);
    out.Float(v);
    EXPECT_TRUE(out.Finish());
    return sink.text;
}

TEST(TextWriterFloat, Table) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {-0.0f, "-0.000000"},
        {0.0f, "0.000000"},
        {0.5f, "0.500000"},
        {1234.5f, "1234.500000"},
        {2.0f, "2.000000"},
        {-3.25f, "-3.250000"},
        {1e-7f, "0.000000"},
        {-4e-7f, "-0.000000"},
        {0.0000005f, "0.000000"},  // the float lies just below 5e-7
        {1.5e-6f, "0.000002"},
        {0.0078125f, "0.007812"},  // exact ties round to even
        {0.0234375f, "0.023438"},
        {0.1f, "0.100000"},
        {16777217.0f, "16777216.000000"},
        {3.4e38f, "339999995214436424907732413799364296704.000000"},
        {-std::numeric_limits<float>::max(), "-340282346638528859811704183484516925440.000000"},
        {nan, "    nan"},
        {-nan, "   -nan"},
        {inf, "    inf"},
        {-inf, "   -inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written(c.value), c.text) << Printf(c.value);
        if (!PrintfDropsNanSign(c.value)) {
            EXPECT_EQ(Printf(c.value), c.text);
        }
    }
}

TEST(TextWriterFloat, MatchesPrintfOverASweep) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_real_distribution<float> small(-1000.0f, 1000.0f);
    for (int i = 0; i < 50000; ++i) {
        const float any = std::bit_cast<float>(bits(random));
        if (!PrintfDropsNanSign(any)) {
            ASSERT_EQ(Written(any), Printf(any)) << std::bit_cast<uint32_t>(any);
        }
        const float typical = small(random);
        ASSERT_EQ(Written(typical), Printf(typical)) << typical;
    }
    // Multiples of 1/128 whose sixth decimal is followed by exactly 5: ties, rounded to even.
    for (int j = -200000; j <= 200000; j += 3) {
        const float tie = static_cast<float>(j) / 128.0f;
        ASSERT_EQ(Written(tie), Printf(tie)) << j;
    }
    // Every power of two and its neighbours across the whole exponent range.
    const float inf = std::numeric_limits<float>::infinity();
    for (int e = -149; e <= 127; ++e) {
        const float p = std::ldexp(1.0f, e);
        for (float v : {p, std::nextafter(p, 0.0f), std::nextafter(p, inf), -p}) {
            ASSERT_EQ(Written(v), Printf(v)) << e;
        }
    }
}

// Halfway cases at every scale: a float m / 2^k (k >= 7, m odd) times 10^6 ends in exactly
// .5 when k is 7, and in a longer binary fraction beyond it; both sides of each, signed.
TEST(TextWriterFloat, HalfwayCasesAtEveryScale) {
    for (int k = 7; k <= 40; ++k) {
        for (uint32_t m = 1; m < (1u << 24); m = m * 3 + 1) {
            const float v = std::ldexp(static_cast<float>(m | 1u), -k);
            for (float w : {v, -v, std::nextafter(v, 0.0f), std::nextafter(v, 1e30f)}) {
                ASSERT_EQ(Written(w), Printf(w)) << std::bit_cast<uint32_t>(w);
            }
        }
    }
    // Integer parts of every length up to the float range.
    for (float v = 0.3f; v < 3e38f; v *= 7.1f) {
        ASSERT_EQ(Written(v), Printf(v)) << v;
        ASSERT_EQ(Written(-v), Printf(-v)) << v;
    }
}

}  // namespace
}  // namespace toravel
