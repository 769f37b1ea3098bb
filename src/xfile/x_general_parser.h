// The grammar of X data, shared by the text and binary encodings through XLexer: the
// templates (skipped), the data objects the reader knows, and every other data object
// (skipped by its braces and noted). The parser fills an XParsedFile; references are left
// for the assembly to resolve.
//
// Frames nest without recursion: open frames are kept on a stack, and the nesting of frames
// and skipped objects together is bounded by kMaxXGeneralNesting. The known objects inside
// a frame (meshes, materials, animation sets) nest a fixed few levels. Counts from the data
// bound loops, never allocations beyond what the remaining data could hold. Every failure
// throws one XReadFailure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scene/node_ops.h"
#include "scene/records.h"
#include "xfile/x_general_parsed.h"
#include "xfile/x_lexer.h"
#include "xfile/x_token.h"

namespace toravel {

// Data objects nested deeper than this end the read with a message: room for an outermost
// frame, the deepest hierarchy any reader accepts below it, and the objects inside the
// deepest frame (a mesh, its material list, a material and its texture, and some to spare).
inline constexpr size_t kMaxXGeneralNesting = kMaxHierarchyDepth + 16;

class XGeneralParser {
  public:
    XGeneralParser(XLexer& lexer, XParsedFile& out) : lex_(lexer), out_(out) {}

    // Reads every template and data object up to the end of the data.
    void ParseFile();

  private:
    // A data object whose identifier, optional name, brace and optional class id are read.
    struct Object {
        std::string_view identifier;
        std::string_view name;
        size_t position = 0;
    };
    // The corner count of every face of a mesh, kept only once a face is not a triangle.
    struct Polygons {
        uint32_t faceCount = 0;
        bool allTriangles = true;
        std::vector<uint32_t> corners;  // kept once a face is not a triangle
        uint32_t CornersOf(uint32_t face) const { return allTriangles ? 3 : corners[face]; }
    };

    // Objects in general (x_general_frames.cpp).
    Object OpenObject(const XToken& identifier);
    void SkipTemplate();
    // Skips the rest of an opened object up to its closing brace, nested objects included.
    void SkipObject(const Object& object);
    // Skips an object the reader does not use and notes it under `kind` (by default its
    // identifier).
    void SkipUnknown(const Object& object, std::string_view kind = {});
    // After an object's members: nested objects are skipped and noted, then its brace.
    void CloseObject(const Object& object);
    // Entered after '{' of a reference; returns the name ("" for a class id only).
    std::string_view ReadReference(const Object& in);
    void ReadFrameTransformMatrix(const Object& object, XParsedFrame& frame);
    void ReadMatrix(Matrix& matrix, const Object& in, const char* what);

    // Meshes, materials and skin (x_general_meshes.cpp). ReadMesh returns the mesh's index.
    int32_t ReadMesh(const Object& object);
    void ReadPositions(MeshData& mesh, const Object& object);
    void ReadFaces(MeshData& mesh, Polygons& polygons, const Object& object);
    void ReadMeshNormals(const Object& object, MeshData& mesh, const Polygons& polygons);
    void ReadMeshTextureCoords(const Object& object, MeshData& mesh);
    void ReadMeshMaterialList(const Object& object, MeshData& mesh, int32_t meshIndex,
                              const Polygons& polygons);
    MaterialData ReadMaterial(const Object& object);
    void ReadSkinMeshHeader(const Object& object, MeshData& mesh);
    void ReadSkinWeights(const Object& object, MeshData& mesh);
    void ReadTopLevelMaterial(const Object& object);

    // Animation (x_general_animation.cpp).
    void ReadAnimTicksPerSecond(const Object& object);
    void ReadAnimationSet(const Object& object);
    // Reads one Animation; appends it to `set` when it has keys.
    void ReadAnimation(const Object& object, AnimSet& set);
    KeyTrack ReadAnimationKey(const Object& object);

    // Values and messages (x_general_frames.cpp).
    float Float(const Object& in, const char* what);
    uint32_t Dword(const Object& in, const char* what);
    // A count or index that must fit the records' signed 32-bit fields.
    int32_t Count(const Object& in, const char* what);
    std::string_view String(const Object& in, const char* what);
    // Reserves room for `count` entries of `numbers` numbers each, no more than the rest of
    // the data could hold.
    template <typename T>
    void Reserve(std::vector<T>& list, uint64_t count, size_t numbers);
    [[noreturn]] void Fail(size_t position, std::string text);
    // "expected `what` in `in`, found" the next token, or `found`.
    [[noreturn]] void FailExpected(const Object* in, std::string_view what);
    [[noreturn]] void FailFound(const Object* in, std::string_view what, const XToken& found);
    void Note(std::string_view kind, size_t position);
    void Warn(size_t position, std::string text);
    static std::string Describe(const Object& object);
    void Enter(const Object& object);
    void Leave() { --depth_; }

    XLexer& lex_;
    XParsedFile& out_;
    size_t depth_ = 0;       // braces open: frames, known objects and skipped ones
    int32_t looseSet_ = -1;  // the set that collects top-level Animations, once there is one
};

inline float XGeneralParser::Float(const Object& in, const char* what) {
    float value;
    if (!lex_.ReadFloat(value)) {
        FailExpected(&in, what);
    }
    return value;
}

inline uint32_t XGeneralParser::Dword(const Object& in, const char* what) {
    uint32_t value;
    if (!lex_.ReadDword(value)) {
        FailExpected(&in, what);
    }
    return value;
}

inline int32_t XGeneralParser::Count(const Object& in, const char* what) {
    const XToken at = lex_.Peek();
    const uint32_t value = Dword(in, what);
    if (value > static_cast<uint32_t>(INT32_MAX)) {
        Fail(at.position, std::string(what) + " " + std::to_string(value) + " in " + Describe(in) +
                              " is too large");
    }
    return static_cast<int32_t>(value);
}

template <typename T>
inline void XGeneralParser::Reserve(std::vector<T>& list, uint64_t count, size_t numbers) {
    const uint64_t fits = lex_.Remaining() / (numbers * lex_.MinBytesPerNumber()) + 1;
    list.reserve(list.size() + static_cast<size_t>(count < fits ? count : fits));
}

}  // namespace toravel
