#include "app/model_info.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_set>
#include <utility>

#include "app/message_format.h"
#include "app/read_messages.h"
#include "scene/names.h"
#include "smd/smd_reader.h"
#include "text/file_bytes.h"
#include "text/text_util.h"

namespace toravel {

namespace {

bool IsXPath(const std::string& path) {
    return AsciiLower(std::filesystem::path(path).extension().string()) == ".x";
}

// The failure of an SMD read in the command line's form.
std::string SmdError(const std::string& path, const ReadReport& report) {
    const ReadFailure& failure = *report.failure();
    const Message message = failure.message        ? *failure.message
                            : failure.quietMessage ? *failure.quietMessage
                                                   : Message{std::string(kInvalidFileTitle),
                                                             "The file cannot be read."};
    return CommandLineMessage(
        ReadNoticeIn(message, NoticeId::kReadFailure, path, failure.position, failure.hint));
}

std::string GeneralReaderError(const std::string& path, const XGeneralResult& read) {
    const XGeneralNote note = read.failure.value_or(XGeneralNote{{}, read.error});
    Notice notice{NoticeId::kReadFailure, std::string(kInvalidFileTitle), note.text, path};
    notice.place.file = path;
    size_t line = 0;
    const std::string_view place = note.place;
    if (place.starts_with("line ") && place.find(' ', 5) == std::string_view::npos) {
        for (char c : place.substr(5)) {
            line = c >= '0' && c <= '9' ? line * 10 + static_cast<size_t>(c - '0') : 0;
        }
    }
    notice.place.line = line;
    if (line == 0) {
        notice.place.where = note.place;
    }
    return CommandLineMessage(notice);
}

std::string OpenError(const std::string& path) {
    Notice notice{NoticeId::kOpenFailure, "Open Failure", "Failed to open for input.", path};
    notice.place.file = path;
    notice.hint = OpenForReadingProblem(path);
    return CommandLineMessage(notice);
}

MeshInfo DescribeMesh(const SceneNode& node) {
    const MeshData& mesh = node.mesh;
    MeshInfo info;
    info.frame = node.name;
    info.name = mesh.name;
    info.vertices = mesh.vertexCount;
    info.faces = mesh.faceCount;
    info.materials = mesh.materialCount;
    std::unordered_set<std::string> seen;
    for (const MaterialData& material : mesh.materials) {
        if (!material.textureFile.empty() && seen.insert(material.textureFile).second) {
            info.textures.push_back(material.textureFile);
        }
    }
    for (const BoneWeights& bone : mesh.boneWeights) {
        info.bones.push_back(bone.boneName);
    }
    info.maxWeightsPerVertex = mesh.maxWeightsPerVertex;
    return info;
}

SetInfo DescribeSet(const AnimSet& set, const NodeList* reference) {
    SetInfo info;
    info.name = set.name;
    std::set<int32_t> types;
    bool first = true;
    for (const NodeAnimation& animation : set.animations) {
        info.frames.push_back(animation.name);
        for (const KeyTrack& track : animation.tracks) {
            types.insert(track.keyType);
            info.keys += track.keys.size();
            info.fewestKeys =
                first ? track.keys.size() : std::min(info.fewestKeys, track.keys.size());
            info.mostKeys = std::max(info.mostKeys, track.keys.size());
            first = false;
            for (const TimedKey& key : track.keys) {
                info.firstTime = info.firstTime ? std::min(*info.firstTime, key.time) : key.time;
                info.lastTime = info.lastTime ? std::max(*info.lastTime, key.time) : key.time;
            }
        }
    }
    info.keyTypes.assign(types.begin(), types.end());
    if (reference != nullptr) {
        std::unordered_set<std::string_view> names;
        for (const SceneNode& node : *reference) {
            names.insert(node.name);
        }
        info.missingFrames.emplace();
        for (const std::string& frame : info.frames) {
            if (names.count(frame) == 0) {
                info.missingFrames->push_back(frame);
            }
        }
    }
    return info;
}

void DescribeContent(ModelInfo& info, const NodeList* reference, const std::vector<AnimSet>& sets) {
    for (const SceneNode& node : info.frames) {
        if (node.mesh.HasMesh()) {
            info.meshes.push_back(DescribeMesh(node));
        }
    }
    for (const AnimSet& set : sets) {
        info.sets.push_back(DescribeSet(set, reference));
    }
}

std::string KeyTypeName(int32_t type) {
    switch (type) {
        case 0:
            return "rotation";
        case 1:
            return "scale";
        case 2:
            return "position";
        case 3:
        case 4:
            return "matrix";
        default:
            return "type " + std::to_string(type);
    }
}

std::string EncodingName(const XFileFormat& format) {
    std::string name;
    switch (format.encoding) {
        case XEncoding::kText:
            name = "text";
            break;
        case XEncoding::kBinary:
            name = "binary";
            break;
        case XEncoding::kCompressedText:
            name = "compressed text";
            break;
        case XEncoding::kCompressedBinary:
            name = "compressed binary";
            break;
    }
    return name + ", " + std::to_string(format.floatBits) + "-bit floats";
}

template <typename T>
std::string Plural(T count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// The tree below `node` (its siblings after it included), indented two spaces a level; deep
// chains stop indenting so that the listing stays linear in the number of frames.
void PrintTree(std::ostream& out, const NodeList& nodes) {
    constexpr size_t kMaxIndent = 40;
    std::vector<std::pair<NodeIndex, size_t>> pending;
    for (size_t i = nodes.size(); i-- > 0;) {
        if (nodes[i].parentId < 0) {
            pending.emplace_back(static_cast<NodeIndex>(i), 1);
        }
    }
    size_t budget = nodes.size();
    while (!pending.empty() && budget-- > 0) {
        const auto [n, depth] = pending.back();
        pending.pop_back();
        const SceneNode& node = nodes[static_cast<size_t>(n)];
        out << std::string(2 * std::min(depth, kMaxIndent), ' ')
            << (node.name.empty() ? "(unnamed)" : node.name);
        if (depth > kMaxIndent) {
            out << " (level " << depth << ")";
        }
        out << '\n';
        std::vector<NodeIndex> children;
        for (NodeIndex c = node.firstChild; c >= 0 && static_cast<size_t>(c) < nodes.size();
             c = nodes[static_cast<size_t>(c)].nextSibling) {
            children.push_back(c);
            if (children.size() > nodes.size()) {
                break;
            }
        }
        for (size_t i = children.size(); i-- > 0;) {
            pending.emplace_back(children[i], depth + 1);
        }
    }
}

}  // namespace

std::optional<NodeList> ReadReferenceNodes(const std::string& path, std::string& error) {
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        error = OpenError(path);
        return std::nullopt;
    }
    if (IsXPath(path)) {
        XGeneralResult read = ReadXGeneral(*bytes, path);
        if (!read.ok()) {
            error = GeneralReaderError(path, read);
            return std::nullopt;
        }
        std::vector<AnimSet> sets;
        FixModelNames(read.content->frames, sets);
        return std::move(read.content->frames);
    }
    SmdReadResult read = ReadSmdReference(*bytes);
    if (!read.ok()) {
        error = SmdError(path, read.report);
        return std::nullopt;
    }
    return std::move(read.nodes);
}

std::optional<ModelInfo> DescribeModel(const std::string& path, const NodeList* reference,
                                       const std::string& referenceName, std::string& error) {
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        error = OpenError(path);
        return std::nullopt;
    }
    ModelInfo info;
    info.file = path;
    if (reference != nullptr) {
        info.reference = referenceName;
    }
    if (IsXPath(path)) {
        XGeneralResult read = ReadXGeneral(*bytes, path);
        info.warnings = std::move(read.warnings);
        if (!read.ok()) {
            error = GeneralReaderError(path, read);
            return std::nullopt;
        }
        XGeneralContent& content = *read.content;
        FixModelNames(content.frames, content.animSets);
        info.kind = "X file";
        info.format = content.format;
        info.frames = std::move(content.frames);
        info.ticksPerSecond = content.ticksPerSecond;
        info.skipped = std::move(content.skipped);
        DescribeContent(info, reference, content.animSets);
        return info;
    }
    // An SMD file is a reference when it reads as one, else an animation.
    SmdReadResult asReference = ReadSmdReference(*bytes);
    if (asReference.ok()) {
        info.kind = "SMD reference";
        info.frames = std::move(asReference.nodes);
        for (const Message& warning : asReference.report.warnings()) {
            info.warnings.push_back(path + ": " + warning.title + ": " + warning.text);
        }
        DescribeContent(info, reference, {});
        return info;
    }
    SmdReadResult asAnimation = ReadSmdAnimation(*bytes);
    if (!asAnimation.ok()) {
        error = SmdError(path, asReference.report);
        return std::nullopt;
    }
    info.kind = "SMD animation";
    for (const Message& warning : asAnimation.report.warnings()) {
        info.warnings.push_back(path + ": " + warning.title + ": " + warning.text);
    }
    const AnimSet set = TakeAnimSet(asAnimation.nodes, std::filesystem::path(path).stem().string());
    info.frames = std::move(asAnimation.nodes);
    DescribeContent(info, reference, {set});
    return info;
}

void PrintModelInfo(std::ostream& out, const ModelInfo& info) {
    out << info.file << ": " << info.kind;
    if (info.format) {
        out << " (" << EncodingName(*info.format) << ")";
    }
    out << '\n';
    for (const std::string& warning : info.warnings) {
        out << "  warning: " << warning << '\n';
    }
    out << "Skeleton (" << Plural(info.frames.size(), "frame", "frames") << "):\n";
    PrintTree(out, info.frames);
    out << "Meshes:" << (info.meshes.empty() ? " none" : "") << '\n';
    for (const MeshInfo& mesh : info.meshes) {
        out << "  " << mesh.frame << (mesh.name.empty() ? "" : " (" + mesh.name + ")") << ": "
            << Plural(mesh.vertices, "vertex", "vertices") << ", "
            << Plural(mesh.faces, "face", "faces") << ", "
            << Plural(mesh.materials, "material", "materials");
        if (!mesh.textures.empty()) {
            out << (mesh.textures.size() == 1 ? " (texture " : " (textures ")
                << JoinNames(mesh.textures) << ")";
        }
        out << ", " << Plural(mesh.bones.size(), "bone", "bones");
        if (!mesh.bones.empty()) {
            out << " (" << JoinNames(mesh.bones) << "), at most "
                << Plural(mesh.maxWeightsPerVertex, "weight", "weights") << " per vertex";
        }
        out << '\n';
    }
    out << "Animation sets:" << (info.sets.empty() ? " none" : "") << '\n';
    for (const SetInfo& set : info.sets) {
        std::vector<std::string> types;
        for (int32_t type : set.keyTypes) {
            types.push_back(KeyTypeName(type));
        }
        out << "  " << (set.name.empty() ? "(unnamed)" : set.name) << ": "
            << Plural(set.frames.size(), "frame", "frames") << " animated";
        if (!types.empty()) {
            out << ", " << JoinNames(types) << " keys";
        }
        out << ", " << Plural(set.keys, "key", "keys");
        if (set.fewestKeys == set.mostKeys && !set.frames.empty()) {
            out << " (" << set.mostKeys << " a track)";
        } else if (!set.frames.empty()) {
            out << " (" << set.fewestKeys << " to " << set.mostKeys << " a track)";
        }
        if (set.firstTime) {
            out << ", time " << *set.firstTime << " to " << *set.lastTime;
            if (info.ticksPerSecond && *info.ticksPerSecond > 0) {
                const double seconds =
                    static_cast<double>(*set.lastTime - *set.firstTime) / *info.ticksPerSecond;
                char text[64];
                std::snprintf(text, sizeof text, " (%.3g s at %u ticks a second)", seconds,
                              *info.ticksPerSecond);
                out << text;
            }
        }
        out << '\n';
        out << "    frames: " << JoinNames(set.frames) << '\n';
        if (set.missingFrames) {
            if (set.missingFrames->empty()) {
                out << "    compatible with " << *info.reference << '\n';
            } else {
                out << "    NOT compatible with " << *info.reference << ": "
                    << Plural(set.missingFrames->size(), "frame", "frames") << " missing ("
                    << JoinNames(*set.missingFrames) << ")\n";
            }
        }
    }
    if (!info.skipped.empty()) {
        out << "Left out:\n";
        for (const XSkippedExtra& skip : info.skipped) {
            out << "  " << skip.kind << " (" << skip.count << ", first at " << skip.firstPlace
                << ")\n";
        }
    }
}

std::string ModelInfoJson(const std::vector<ModelInfoOutcome>& outcomes) {
    using nlohmann::json;
    json files = json::array();
    for (const ModelInfoOutcome& outcome : outcomes) {
        json file;
        file["file"] = outcome.file;
        if (!outcome.info) {
            std::string error = outcome.error;
            while (!error.empty() && error.back() == '\n') {
                error.pop_back();
            }
            file["error"] = error;
            files.push_back(std::move(file));
            continue;
        }
        const ModelInfo& info = *outcome.info;
        file["kind"] = info.kind;
        if (info.format) {
            file["encoding"] = EncodingName(*info.format);
        }
        file["warnings"] = info.warnings;
        json frames = json::array();
        for (const SceneNode& node : info.frames) {
            json frame;
            frame["name"] = node.name;
            frame["parent"] = node.parentId >= 0 ? json(node.parentId) : json(nullptr);
            frame["id"] = node.id;
            frames.push_back(std::move(frame));
        }
        file["frames"] = std::move(frames);
        json meshes = json::array();
        for (const MeshInfo& mesh : info.meshes) {
            meshes.push_back({{"frame", mesh.frame},
                              {"name", mesh.name},
                              {"vertices", mesh.vertices},
                              {"faces", mesh.faces},
                              {"materials", mesh.materials},
                              {"textures", mesh.textures},
                              {"bones", mesh.bones},
                              {"maxWeightsPerVertex", mesh.maxWeightsPerVertex}});
        }
        file["meshes"] = std::move(meshes);
        json sets = json::array();
        for (const SetInfo& set : info.sets) {
            json entry = {{"name", set.name},
                          {"frames", set.frames},
                          {"keyTypes", set.keyTypes},
                          {"keys", set.keys},
                          {"fewestKeysPerTrack", set.fewestKeys},
                          {"mostKeysPerTrack", set.mostKeys}};
            if (set.firstTime) {
                entry["firstTime"] = *set.firstTime;
                entry["lastTime"] = *set.lastTime;
                if (info.ticksPerSecond && *info.ticksPerSecond > 0) {
                    entry["seconds"] =
                        static_cast<double>(*set.lastTime - *set.firstTime) / *info.ticksPerSecond;
                }
            }
            if (set.missingFrames) {
                entry["compatible"] = set.missingFrames->empty();
                entry["missingFrames"] = *set.missingFrames;
            }
            sets.push_back(std::move(entry));
        }
        file["animationSets"] = std::move(sets);
        if (info.ticksPerSecond) {
            file["ticksPerSecond"] = *info.ticksPerSecond;
        }
        if (info.reference) {
            file["reference"] = *info.reference;
        }
        json skipped = json::array();
        for (const XSkippedExtra& skip : info.skipped) {
            skipped.push_back(
                {{"kind", skip.kind}, {"count", skip.count}, {"firstAt", skip.firstPlace}});
        }
        file["leftOut"] = std::move(skipped);
        files.push_back(std::move(file));
    }
    // Bytes that are not UTF-8 (names from old files) are replaced rather than thrown over.
    return json{{"files", std::move(files)}}.dump(2, ' ', false, json::error_handler_t::replace) +
           "\n";
}

}  // namespace toravel
