// AnimTicksPerSecond, AnimationSet, Animation and AnimationKey objects. Keys are kept in
// the form the file gives them: rotation, scale and position keys as their numbers, matrix
// keys as matrices.

#include <string>
#include <utility>

#include "xfile/x_general_parser.h"
#include "xfile/x_general_words.h"

namespace toravel {

namespace {

// The number of values a key of this type carries; 0 for a type the format does not define.
uint32_t ValuesOfKeyType(int32_t type) {
    switch (type) {
        case 0:
            return 4;  // rotation quaternion
        case 1:
        case 2:
            return 3;  // scale, position
        case 3:
        case 4:
            return 16;  // matrix
        default:
            return 0;
    }
}

const char* KeyTypeName(int32_t type) {
    switch (type) {
        case 0:
            return "rotation";
        case 1:
            return "scale";
        case 2:
            return "position";
        default:
            return "matrix";
    }
}

}  // namespace

void XGeneralParser::ReadAnimTicksPerSecond(const Object& object) {
    Enter(object);
    const uint32_t ticks = Dword(object, "the ticks per second");
    CloseObject(object);
    Leave();
    if (out_.ticksPerSecond) {
        Warn(object.position, "a second AnimTicksPerSecond is left out; the first one is used");
        return;
    }
    out_.ticksPerSecond = ticks;
}

void XGeneralParser::ReadAnimationSet(const Object& object) {
    Enter(object);
    AnimSet set;
    set.name = object.name;
    for (;;) {
        const XToken token = lex_.Next();
        if (token.kind == XTokenKind::kCloseBrace) {
            break;
        }
        if (token.kind == XTokenKind::kOpenBrace) {
            ReadReference(object);
            Note("reference in AnimationSet", token.position);
            continue;
        }
        if (!IsIdentifier(token)) {
            Fail(token.position, "expected an Animation or '}' in " + Describe(object) +
                                     ", found " + lex_.Describe(token));
        }
        const Object part = OpenObject(token);
        if (XObjectKindOf(part.identifier) == XObjectKind::kAnimation) {
            ReadAnimation(part, set);
        } else {
            SkipUnknown(part);
        }
    }
    Leave();
    out_.animSets.push_back(std::move(set));
}

void XGeneralParser::ReadAnimation(const Object& object, AnimSet& set) {
    Enter(object);
    NodeAnimation animation;
    for (;;) {
        const XToken token = lex_.Next();
        if (token.kind == XTokenKind::kCloseBrace) {
            break;
        }
        if (token.kind == XTokenKind::kOpenBrace) {
            // The frame the animation drives; a later reference replaces an earlier one.
            const std::string_view name = ReadReference(object);
            if (!name.empty()) {
                animation.name = name;
            }
            continue;
        }
        if (!IsIdentifier(token)) {
            Fail(token.position, "expected an AnimationKey, a frame reference or '}' in " +
                                     Describe(object) + ", found " + lex_.Describe(token));
        }
        const Object part = OpenObject(token);
        switch (XObjectKindOf(part.identifier)) {
            case XObjectKind::kAnimationKey:
                animation.tracks.push_back(ReadAnimationKey(part));
                break;
            case XObjectKind::kFrame:
                // A frame given in place instead of by reference: only its name is used.
                if (!part.name.empty()) {
                    animation.name = part.name;
                }
                SkipUnknown(part, "Frame inside an Animation");
                break;
            default:
                SkipUnknown(part);
        }
    }
    Leave();
    if (animation.name.empty()) {
        Fail(object.position,
             Describe(object) + " names no frame: expected a reference such as { FrameName }");
    }
    if (animation.tracks.empty()) {
        Warn(object.position,
             "the animation of frame '" + animation.name + "' has no AnimationKey and is left out");
        return;
    }
    set.animations.push_back(std::move(animation));
}

KeyTrack XGeneralParser::ReadAnimationKey(const Object& object) {
    Enter(object);
    KeyTrack track;
    track.keyType = Count(object, "the key type");
    const int32_t count = Count(object, "the key count");
    const uint32_t expected = ValuesOfKeyType(track.keyType);
    if (expected == 0) {
        Warn(object.position,
             "AnimationKey of unknown type " + std::to_string(track.keyType) + " is kept as read");
    }
    const bool matrix = expected == 16;
    Reserve(track.keys, static_cast<uint64_t>(count), 3);
    for (int32_t i = 0; i < count; ++i) {
        TimedKey key;
        key.time = Dword(object, "a key time");
        const uint32_t values = Dword(object, "the value count of a key");
        if (expected != 0 && values != expected) {
            Fail(lex_.Position(), "key " + std::to_string(i) + " of an AnimationKey of type " +
                                      std::to_string(track.keyType) + " has " +
                                      std::to_string(values) + " values; a " +
                                      KeyTypeName(track.keyType) + " key has " +
                                      std::to_string(expected));
        }
        key.valueCount = values;
        if (matrix) {
            ReadMatrix(key.matrix, object, "a key value");
            key.isMatrix = true;
        } else {
            Reserve(key.values, values, 1);
            for (uint32_t v = 0; v < values; ++v) {
                key.values.push_back(Float(object, "a key value"));
            }
        }
        track.keys.push_back(std::move(key));
    }
    track.keyCount = count;
    CloseObject(object);
    Leave();
    return track;
}

}  // namespace toravel
