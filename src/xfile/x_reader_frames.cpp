// The header with its template declarations, the frame hierarchy and transform matrices, and
// what may follow the frames.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xfile/x_reader.h"

namespace toravel {

bool XReader::ReadXHeader() {
    std::string_view line;
    if (!input_.ReadLine(line) || line != "xof 0303txt 0032") {
        return Fail("Invalid Header");
    }
    for (;;) {
        size_t mark;
        const std::string_view token = PeekToken(mark);
        if (token.empty()) {
            return ReportUnexpectedEnd("templates section");
        }
        if (token == "AnimTicksPerSecond") {
            if (!ReadAnimTicksPerSecond()) {
                return false;
            }
            continue;
        }
        if (token != "template") {
            HandBack(mark);
            return true;
        }
        // A declaration is never interpreted: its first "}" token ends it.
        while (input_.good() && NextToken() != "}") {
        }
    }
}

bool XReader::ReadAnimTicksPerSecond() {
    std::string_view token = NextToken();
    if (token != "{") {
        return ReportExpectedOpen(token);
    }
    // Read as tokens, so that the value may stand on the brace's line or below it, with its
    // semicolon attached or apart.
    token = NextToken();
    if (token.empty()) {
        return ReportUnexpectedEnd("AnimTicksPerSecond");
    }
    uint32_t ticks = 0;
    const size_t used = token[0] == '-' ? 0 : ParseUnsigned(token, ticks);
    if (used == 0) {
        return ReportExpected("ticks per second in AnimTicksPerSecond", token);
    }
    std::string_view rest = token.substr(used);
    if (rest.empty()) {
        rest = token = NextToken();
    }
    if (rest != ";") {
        return ReportExpected("';' after ticks per second in AnimTicksPerSecond", token);
    }
    token = NextToken();
    if (token != "}") {
        return ReportExpectedClose(token);
    }
    model_.ticksPerSecond = ticks;
    return true;
}

bool XReader::ReadRootFrame() {
    SceneNode root;
    std::string_view token = NextToken();
    if (token != "Frame") {
        return Fail("Expected 'frames' token. Found " + std::string(token));
    }
    token = NextToken();
    if (token != "Scene_Root") {
        return Fail("Expected 'Scene_Root' frame. Found " + std::string(token));
    }
    root.name = "Scene_Root";
    token = NextToken();
    if (token != "{") {
        return ReportExpectedOpen(token);
    }
    size_t mark;
    token = PeekToken(mark);
    if (token == "FrameTransformMatrix") {
        HandBack(mark);
        if (!ReadFrameTransformMatrix(root.localMatrix)) {
            return false;
        }
        token = NextToken();
    } else {
        // The token read stays the current one; it is not handed back.
        report_.Warn("Transform Matrix NOT found for Scene_Root. Continuing.", "Possible Error");
    }
    if (token != "Frame") {
        return ReportExpected("Frame", token);
    }
    const int32_t rootId = CountOf(model_.frames.size());
    root.id = rootId;
    root.parentId = -1;
    model_.frames.push_back(std::move(root));
    while (token == "Frame") {
        if (!ReadChildFrame(rootId)) {
            return false;
        }
        token = NextToken();
    }
    if (token != "}") {
        return ReportExpectedClose(std::string(token) + " in frame Scene_Root");
    }
    return true;
}

bool XReader::IsFrameId(int32_t id) const {
    return id >= 0 && static_cast<size_t>(id) < model_.frames.size() &&
           model_.frames[static_cast<size_t>(id)].id == id;
}

bool XReader::OpenChildFrame(int32_t parentId, int32_t& id, std::string_view& token) {
    // Ids are positions in the list, so the lookups by id are direct.
    if (!IsFrameId(parentId)) {
        return report_.Fail("***Internal Error***", "Error");
    }
    SceneNode node;
    node.parentId = parentId;
    token = NextToken();
    if (token != "{") {
        node.name = token;
        token = NextToken();
    }
    if (token != "{") {
        return ReportExpectedOpen(std::string(token) + " in frame " + node.name);
    }
    if (!ReadFrameTransformMatrix(node.localMatrix)) {
        return false;
    }
    token = NextToken();
    if (token == "Mesh") {
        if (!ReadMesh(node.mesh)) {
            return false;
        }
        token = NextToken();
    }
    // The frame enters the list before any of its children.
    id = CountOf(model_.frames.size());
    node.id = id;
    model_.frames.push_back(std::move(node));
    if (!IsFrameId(id) || !IsFrameId(parentId)) {
        return report_.Fail(
            "me (" + std::to_string(id) + ") or parent (" + std::to_string(parentId) + ") invalid",
            "*** Internal Error ***");
    }
    return true;
}

bool XReader::ReadChildFrame(int32_t parentId) {
    // The frames opened and not yet closed, innermost last. Nesting is followed with this
    // explicit stack rather than by recursion, and bounded by kMaxXFrameNesting.
    std::vector<int32_t> open;
    int32_t parent = parentId;
    for (;;) {
        if (open.size() >= kMaxXFrameNesting) {
            return Fail("Frames nested more than " + std::to_string(kMaxXFrameNesting) +
                        " levels deep in frame " + model_.frames[static_cast<size_t>(parent)].name +
                        ".");
        }
        int32_t id = -1;
        std::string_view token;
        if (!OpenChildFrame(parent, id, token)) {
            return false;
        }
        open.push_back(id);
        // Close frames until a child frame begins or the outermost one is closed.
        for (;;) {
            const std::string& name = model_.frames[static_cast<size_t>(open.back())].name;
            if (token == "Frame") {
                Trace("Frame " + name + " calling ReadChild\n");
                parent = open.back();
                break;
            }
            if (token != "}") {
                return ReportExpectedClose(std::string(token) + " in frame " + name);
            }
            open.pop_back();
            if (open.empty()) {
                return true;
            }
            Trace("(done)\n");
            token = NextToken();
        }
    }
}

bool XReader::ReadFrameTransformMatrix(Matrix& matrix) {
    if (!OpenBlock("FrameTransformMatrix", "FrameTransformMatrix")) {
        return false;
    }
    if (!ReadMatrixValues(matrix)) {
        return false;
    }
    return CloseBlock();
}

bool XReader::ReadMatrixValues(Matrix& matrix) {
    // All sixteen numbers and separators are read even after a wrong separator.
    bool separatorsRight = true;
    for (size_t i = 0; i < matrix.m.size(); ++i) {
        input_.ReadFloat(matrix.m[i]);
        char separator = '\0';
        const bool extracted = input_.ReadSeparator(separator);
        separatorsRight &= extracted && separator == (i + 1 == matrix.m.size() ? ';' : ',');
    }
    if (NextToken() != ";" || !separatorsRight) {
        return Fail("Comma or semicolon error in transform matrix");
    }
    return true;
}

bool XReader::ReadAfterFrames() {
    for (;;) {
        size_t mark;
        const std::string_view token = PeekToken(mark);
        if (token == "AnimTicksPerSecond") {
            if (!ReadAnimTicksPerSecond()) {
                return false;
            }
            continue;
        }
        if (token == "AnimationSet") {
            HandBack(mark);
            return ReadAnimationSets();
        }
        // Anything else after the frames is not read.
        return true;
    }
}

}  // namespace toravel
