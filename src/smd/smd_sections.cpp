#include "smd/smd_sections.h"

#include <string>

#include "scene/node_ops.h"

namespace toravel {

namespace {

constexpr std::string_view kNodesEof = "Unexpected EOF in 'nodes' section.";
constexpr std::string_view kFileEof = "Unexpected EOF in file.";

// Every root's transform is followed by a turn about x by minus this angle: the turn that the
// vertices get, (x, y, z) -> (x, z, -y), from the file's z-up space into the y-up space of the
// X file. Applied after the root's own rotation and position, it carries the whole skeleton
// with the mesh, so each bone's model-space origin is its SMD world origin turned likewise.
// Deliberately the single-precision value of 1.570796.
constexpr float kRootCorrection = 1.570796f;

// The integer value of a token as atoi reads it: leading digits with an optional sign, 0 when
// the token does not start with a number.
int32_t IntegerValue(std::string_view token) {
    int32_t value = 0;
    ParseInt(token, value);
    return value;
}

bool IsCommentStart(std::string_view text) {
    return text.starts_with('#') || text.starts_with("//");
}

// The node name that starts with `token`. A token that opens a double quote without closing
// it runs on to the closing quote on the same line, blanks included; the tokenizer then goes on
// after that quote. Otherwise a leading and a trailing quote are dropped.
std::string ReadName(TextInput& input, LineTokenizer& tokenizer, std::string_view token) {
    if (token.starts_with('"')) {
        token.remove_prefix(1);
        if (token.find('"') == std::string_view::npos) {
            const std::string_view rest = tokenizer.RestOfLine();
            const size_t close = rest.find('"');
            if (close != std::string_view::npos) {
                std::string name(token);
                name.append(rest.substr(0, close));
                // Move the input just past the closing quote: the tokenizer sees the moved
                // position and reads on from there.
                input.seek(static_cast<size_t>(rest.data() + close + 1 - input.text().data()));
                return name;
            }
        }
    }
    if (token.ends_with('"')) {
        token.remove_suffix(1);
    }
    return std::string(token);
}

// One key line: node id, position and rotation. False when a number is missing.
struct KeyLine {
    int32_t id = 0;
    float values[6] = {0, 0, 0, 0, 0, 0};
};

bool ParseKeyLine(std::string_view line, KeyLine& key) {
    size_t pos = ParseInt(line, key.id);
    if (pos == 0) {
        return false;
    }
    for (float& value : key.values) {
        const size_t used = ParseFloat(line.substr(pos), value);
        if (used == 0) {
            return false;
        }
        pos += used;
    }
    return true;
}

// Reads one frame: "time", its number and the key lines up to the next "time" line (left
// unread) or the section's "end" (sets `endMet`).
bool ReadFrame(TextInput& input, LineTokenizer& tokenizer, NodeList& list, const NodeIdIndex& index,
               SkeletonMode mode, ReadReport& report, bool& endMet) {
    endMet = false;
    if (tokenizer.NextToken(input) != "time") {
        return report.Fail("Token 'time' expected. Not found.");
    }
    const std::string_view frameToken = tokenizer.NextToken(input);
    if (frameToken.empty()) {
        return report.Fail(kFileEof);
    }
    const int32_t frame = IntegerValue(frameToken);
    if (frame == -1) {
        report.FailSilently("The skeleton section holds a frame numbered -1.");
        report.SetHint("frames are numbered from 0 up");
        return false;
    }
    // Negative frame numbers wrap around as unsigned times.
    const uint32_t time = static_cast<uint32_t>(frame) * 1000u;

    for (;;) {
        if (!input.good()) {
            return report.Fail(kFileEof);
        }
        size_t lineStart = 0;
        std::string_view line;
        std::string_view trimmed;
        do {
            lineStart = input.tell();
            if (!input.ReadLine(line)) {
                return report.Fail(kFileEof);
            }
            trimmed = TrimBlanks(line);
        } while (trimmed.empty());

        if (trimmed == "end") {
            endMet = true;
            return true;
        }
        if (trimmed.starts_with("time")) {
            if (mode == SkeletonMode::kReference) {
                report.Fail("Expected token 'time' in SMD reference file. Not found.");
                report.SetHint("this file has animation frames; the reference comes first");
                return false;
            }
            // The next frame starts with this line.
            input.seek(lineStart);
            return true;
        }

        KeyLine key;
        if (!ParseKeyLine(line, key)) {
            return report.Fail("Invalid timed key found.");
        }
        const NodeIndex found = index.Find(key.id);
        if (found == kNoNode) {
            return report.Fail("Timed key node (id " + std::to_string(key.id) +
                               ") not found in nodes array.");
        }
        SceneNode& node = list[static_cast<size_t>(found)];
        Matrix m = EulerTransform(key.values[0], key.values[1], key.values[2], key.values[3],
                                  key.values[4], key.values[5]);
        if (node.parentId == -1) {
            m = Multiply(m, RotationXMatrix(-kRootCorrection));
        }
        if (mode == SkeletonMode::kReference) {
            node.localMatrix = m;
        } else {
            TimedKey& timed = node.track.keys.emplace_back();
            timed.time = time;
            timed.valueCount = 16;
            timed.isMatrix = true;
            timed.matrix = m;
            node.track.keyType = 4;
            node.track.keyCount = static_cast<int32_t>(node.track.keys.size());
        }
    }
}

}  // namespace

bool ReadHeader(TextInput& input) {
    std::string_view line;
    while (input.ReadLine(line)) {
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || IsCommentStart(trimmed)) {
            continue;
        }
        return line == "version 1";
    }
    return false;
}

bool ReadNodes(TextInput& input, LineTokenizer& tokenizer, NodeList& list, ReadReport& report) {
    if (tokenizer.NextToken(input) != "nodes") {
        return report.Fail("'nodes' token expected. Not found.");
    }
    for (;;) {
        if (!input.good()) {
            return true;
        }
        const std::string_view idToken = tokenizer.NextToken(input);
        if (idToken.empty()) {
            return report.Fail(kNodesEof);
        }
        if (idToken == "end") {
            return true;
        }
        SceneNode node;
        node.id = IntegerValue(idToken);
        const std::string_view nameToken = tokenizer.NextToken(input);
        if (nameToken.empty()) {
            return report.Fail(kNodesEof);
        }
        node.name = ReadName(input, tokenizer, nameToken);
        const std::string_view parentToken = tokenizer.NextToken(input);
        if (parentToken.empty()) {
            return report.Fail(kNodesEof);
        }
        node.parentId = IntegerValue(parentToken);
        node.localMatrix = IdentityMatrix();
        list.push_back(std::move(node));
    }
}

bool ReadSkeleton(TextInput& input, LineTokenizer& tokenizer, NodeList& list, SkeletonMode mode,
                  ReadReport& report) {
    if (tokenizer.NextToken(input) != "skeleton") {
        return report.Fail("Token 'skeleton' expected. Not found.");
    }
    const NodeIdIndex index(list);
    for (;;) {
        if (!input.good()) {
            return report.FailSilently(kFileEof);
        }
        bool endMet = false;
        if (!ReadFrame(input, tokenizer, list, index, mode, report, endMet)) {
            return false;
        }
        if (endMet) {
            return true;
        }
    }
}

bool SkipSkeleton(TextInput& input, LineTokenizer& tokenizer, ReadReport& report) {
    if (tokenizer.NextToken(input) != "skeleton") {
        return report.Fail("Token 'skeleton' expected. Not found.");
    }
    std::string_view line;
    while (input.ReadLine(line)) {
        if (TrimBlanks(line) == "end") {
            return true;
        }
    }
    return report.Fail(kFileEof);
}

std::optional<NameCollision> FixNames(NodeList& list) {
    return FixNodeNames(list);
}

}  // namespace toravel
