// Writes a large SMD reference and a large SMD animation for the benchmarks: a chain-and-fan
// skeleton, a mesh of many triangles whose vertices carry 1 to 3 bone links, and an animation
// that keys every bone in every frame. The output is deterministic.
//
// usage: toravel_gen_smd REFERENCE.smd ANIMATION.smd [triangles] [bones] [frames]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Random {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 32);
    }
    float Uniform(float lo, float hi) { return lo + (hi - lo) * (Next() / 4294967296.0f); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

int ParentOf(int bone) {
    return bone == 0 ? -1 : (bone - 1) / 3;
}

void WriteNodes(std::FILE* f, int bones) {
    std::fprintf(f, "version 1\nnodes\n");
    for (int b = 0; b < bones; ++b) {
        std::fprintf(f, "%d \"Bone %02d\" %d\n", b, b, ParentOf(b));
    }
    std::fprintf(f, "end\n");
}

void WriteKeys(std::FILE* f, int bones, Random& rng, float amplitude) {
    for (int b = 0; b < bones; ++b) {
        const float length = b == 0 ? 0.0f : 4.0f;
        std::fprintf(f, "%d %f %f %f %f %f %f\n", b, 0.0, 0.0, length,
                     rng.Uniform(-amplitude, amplitude), rng.Uniform(-amplitude, amplitude),
                     rng.Uniform(-amplitude, amplitude));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s REFERENCE.smd ANIMATION.smd [triangles] [bones] [frames]\n",
                     argv[0]);
        return 2;
    }
    const int triangles = argc > 3 ? std::atoi(argv[3]) : 200000;
    const int bones = argc > 4 ? std::atoi(argv[4]) : 60;
    const int frames = argc > 5 ? std::atoi(argv[5]) : 5000;
    Random rng;

    std::FILE* ref = std::fopen(argv[1], "w");
    if (ref == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    WriteNodes(ref, bones);
    std::fprintf(ref, "skeleton\ntime 0\n");
    WriteKeys(ref, bones, rng, 0.3f);
    std::fprintf(ref, "end\ntriangles\n");
    for (int t = 0; t < triangles; ++t) {
        const int owner = 1 + rng.Below(bones - 1);
        std::fprintf(ref, "texture_%d.bmp\n", t % 4);
        for (int v = 0; v < 3; ++v) {
            const int links = 1 + rng.Below(3);
            std::fprintf(ref, "%d %f %f %f %f %f %f %f %f %d", owner, rng.Uniform(-50, 50),
                         rng.Uniform(-50, 50), rng.Uniform(0, 180), rng.Uniform(-1, 1),
                         rng.Uniform(-1, 1), rng.Uniform(-1, 1), rng.Uniform(0, 1),
                         rng.Uniform(0, 1), links);
            float left = 1.0f;
            for (int l = 0; l < links; ++l) {
                const float w = l + 1 == links ? left : left * 0.5f;
                left -= w;
                std::fprintf(ref, " %d %f", (owner + l) % bones, w);
            }
            std::fputc('\n', ref);
        }
    }
    std::fprintf(ref, "end\n");
    if (std::fclose(ref) != 0) {
        std::perror(argv[1]);
        return 1;
    }

    std::FILE* anim = std::fopen(argv[2], "w");
    if (anim == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    WriteNodes(anim, bones);
    std::fprintf(anim, "skeleton\n");
    for (int frame = 0; frame < frames; ++frame) {
        std::fprintf(anim, "time %d\n", frame);
        WriteKeys(anim, bones, rng, 1.0f);
    }
    std::fprintf(anim, "end\n");
    if (std::fclose(anim) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
