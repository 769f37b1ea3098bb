// The reading steps of the text X reader, shared by the files that read each block family.
//
// Conventions of every step:
// - Keywords, names and braces come from the LineTokenizer; counts, numbers and separators
//   inside data blocks are extracted from the TextInput directly, so they start on the line
//   after the last line a token was taken from.
// - A peek records the read position, reads a token and sets the position back. The token is
//   handed back only when reading it made the tokenizer take a new line.
// - A step returns true on success, or false after it has recorded the failure in the report
//   (the few silent failures are named where they happen); callers then stop at once.
// - Counts from the file never size an allocation, and a negative count ends the load.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scene/read_result.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"
#include "text/text_input.h"
#include "xfile/x_strict_reader.h"

namespace toravel {

// The reading steps of one strict read; XStrictReader runs them.
class XReader {
  public:
    XReader(XModel& model, TextInput& input, ReadReport& report, const XReadHooks& hooks)
        : model_(model), input_(input), report_(report), hooks_(hooks) {
        tokenizer_.Reset(LineTokenizer::Braces::kSeparate);
    }

    XModel& model() { return model_; }

    // Header, templates and AnimTicksPerSecond blocks up to the first other token, which is
    // handed back under the peek rule.
    bool ReadXHeader();
    bool ReadRootFrame();
    // Entered with "Frame" read; reads the frame with all its descendants up to and including
    // its closing brace, appending them to the document's frames.
    bool ReadChildFrame(int32_t parentId);
    bool ReadFrameTransformMatrix(Matrix& matrix);
    bool ReadMatrixValues(Matrix& matrix);
    // Entered with "AnimTicksPerSecond" read.
    bool ReadAnimTicksPerSecond();
    // What follows Scene_Root: AnimTicksPerSecond blocks and the animation sets.
    bool ReadAfterFrames();

    // Meshes. ReadMesh is entered with "Mesh" read; the block readers with the input set
    // back before their keyword.
    bool ReadMesh(MeshData& mesh);
    bool ReadMeshLists(MeshData& mesh);
    bool ReadMeshNormals(MeshData& mesh);
    bool ReadMeshTextureCoords(MeshData& mesh);
    bool ReadVertexDuplicationIndices();

    // Materials and skin.
    bool ReadMeshMaterialList(MeshData& mesh);
    bool ReadMaterial(MeshData& mesh);
    bool ReadSkinMeshHeader(MeshData& mesh);
    bool ReadSkinWeights(MeshData& mesh);
    // The next non-empty raw line, empty when the input ended first.
    std::string_view ReadQuotedLine();

    // Animation sets; ReadAnimationSets is entered with the input set back before the first
    // "AnimationSet" keyword.
    bool ReadAnimationSets();
    bool ReadAnimationSetBody(AnimSet& set);
    bool ReadAnimation(NodeAnimation& animation);
    bool ReadAnimationKey(KeyTrack& track);
    bool ReadTimedKey(TimedKey& key);

  private:
    std::string_view NextToken() { return tokenizer_.NextToken(input_); }
    // Reads a token after recording where the input stood; HandBack returns there.
    std::string_view PeekToken(size_t& mark) {
        mark = input_.tell();
        return NextToken();
    }
    void HandBack(size_t mark) { input_.seek(mark); }

    // Messages titled "Invalid File"; each returns false for the caller to pass up.
    bool Fail(std::string text) { return report_.Fail(std::move(text)); }
    bool ReportUnexpectedEnd(std::string_view place);
    bool ReportExpectedOpen(std::string_view found);
    bool ReportExpectedClose(std::string_view found);
    bool ReportExpected(std::string_view expected, std::string_view found);

    // "keyword {": the block's keyword (`expected` names it in the message) and its brace.
    bool OpenBlock(std::string_view keyword, std::string_view expected);
    // The "}" that closes a block.
    bool CloseBlock();
    void Trace(const std::string& text) const {
        if (hooks_.trace) {
            hooks_.trace(text);
        }
    }

    // Extracts a word and checks it, reporting `expected` with the word found.
    bool ExpectWord(std::string_view word, std::string_view expected);
    // The word that ends entry i of n: ";" after the last, "," after the others.
    bool ExpectListWord(int64_t i, int64_t n, std::string_view lastExpected,
                        std::string_view otherExpected);
    // Extracts a signed count; a negative one ends the load with "Negative " and `what`, whose
    // "%d" is replaced by the count.
    bool ReadCount(int32_t& count, std::string_view what);
    // Extracts an unsigned count; a minus sign in front of it ends the load likewise.
    bool ReadUnsignedCount(uint32_t& count, std::string_view what);

    // Lists shared by the Mesh and MeshNormals blocks.
    bool ReadVectorList(int32_t& count, std::vector<Vector3>& list, std::string_view what);
    bool ReadFaceList(int32_t& count, std::vector<int32_t>& indices, std::string_view what);

    // Reads name, brace, matrix and mesh of a child frame and appends it under `parentId`;
    // `token` is then the token after the matrix or mesh.
    bool OpenChildFrame(int32_t parentId, int32_t& id, std::string_view& token);
    bool IsFrameId(int32_t id) const;

    XModel& model_;
    TextInput& input_;
    ReadReport& report_;
    const XReadHooks& hooks_;
    LineTokenizer tokenizer_;
};

// A separator as one-character text; empty when none could be extracted.
inline std::string SeparatorText(bool extracted, char c) {
    return extracted ? std::string(1, c) : std::string();
}

// Saturating conversion of a list size to a count field.
inline int32_t CountOf(size_t size) {
    return size > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(size);
}

}  // namespace toravel
