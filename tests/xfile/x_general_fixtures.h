// Hand-written text X files, one feature each, with what a reader must find in them: the
// counts any X reader agrees on (frames, triangles, bones, animation sets) and a check of
// the records in detail, computed from the format's meaning.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "xfile/x_general_reader.h"

namespace toravel::testing {

struct XCounts {
    size_t frames = 0;     // Scene_Root included
    size_t triangles = 0;  // over all meshes, after triangulation
    size_t bones = 0;      // SkinWeights over all meshes
    size_t sets = 0;
};

struct XFixture {
    std::string name;
    std::string text;
    XCounts counts;
    std::function<void(const XGeneralContent&)> check;
    // Why Assimp's X importer cannot read the fixture itself, when it cannot (it then leaks
    // memory, which the sanitizers would report, so it is not even tried).
    const char* assimpCannot = nullptr;
};

const std::vector<XFixture>& XGeneralFixtures();

// The counts of what a reader produced.
XCounts CountsOf(const XGeneralContent& content);

// The first difference between two contents ("" when equal), as a path such as
// "frames[2].mesh.normals[5].y". Places of skipped extras are not compared: they differ
// between encodings.
std::string FirstDifference(const XGeneralContent& a, const XGeneralContent& b);
std::string FirstDifference(const NodeList& a, const NodeList& b);
std::string FirstDifference(const std::vector<AnimSet>& a, const std::vector<AnimSet>& b);

}  // namespace toravel::testing
