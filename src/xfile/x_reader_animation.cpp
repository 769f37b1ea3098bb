// AnimationSet blocks: their Animation blocks, AnimationKey blocks and timed keys. Keys are
// stored as numbers; key types and frame names are not interpreted here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "xfile/x_reader.h"

namespace toravel {

bool XReader::ReadAnimationSets() {
    std::string_view token = NextToken();
    while (token == "AnimationSet") {
        AnimSet set;
        token = NextToken();
        if (token != "{") {
            set.name = token;
            token = NextToken();
        }
        if (token != "{") {
            return ReportExpectedOpen(token);
        }
        if (set.name.empty() && hooks_.nameUnnamedSet) {
            if (std::optional<std::string> name = hooks_.nameUnnamedSet(model_.animSets.size())) {
                set.name = std::move(*name);
            }
        }
        if (!ReadAnimationSetBody(set)) {
            return false;
        }
        model_.animSets.push_back(std::move(set));
        token = NextToken();
    }
    // Whatever ends the run of sets, the end of input included, ends the file.
    return true;
}

bool XReader::ReadAnimationSetBody(AnimSet& set) {
    std::string_view token = NextToken();
    while (token == "Animation") {
        token = NextToken();
        if (token != "{") {
            return ReportExpectedOpen(token);
        }
        NodeAnimation animation;
        if (!ReadAnimation(animation)) {
            return false;
        }
        set.animations.push_back(std::move(animation));
        token = NextToken();
    }
    if (input_.eof()) {
        return true;  // the last set of a file may end without its brace
    }
    return token == "}" || ReportExpectedClose(token);
}

bool XReader::ReadAnimation(NodeAnimation& animation) {
    while (input_.good()) {
        std::string_view token = NextToken();
        if (token == "}") {
            break;
        }
        if (token == "AnimationKey") {
            token = NextToken();
            if (token != "{") {
                return ReportExpectedOpen(token);
            }
            KeyTrack track;
            track.keyType = -1;
            if (!ReadAnimationKey(track)) {
                return false;
            }
            animation.tracks.push_back(std::move(track));
        } else if (token == "{") {
            // A frame reference; a later one replaces an earlier one.
            animation.name = NextToken();
            token = NextToken();
            if (token != "}") {
                return ReportExpected("Close bracket after animation frame reference", token);
            }
        }
        // Any other token is skipped.
    }
    if (!input_.good()) {
        return Fail("Unexpected EOF reading animationset.");
    }
    if (animation.name.empty()) {
        return Fail("Animation without frame reference.");
    }
    if (animation.tracks.empty()) {
        return Fail("Animation " + animation.name + " has no animation keys.");
    }
    return true;
}

bool XReader::ReadAnimationKey(KeyTrack& track) {
    input_.ReadInt(track.keyType);
    if (!ExpectWord(";", "semicolon following animation key type") ||
        !ReadCount(track.keyCount, "key count %d in animation key.") ||
        !ExpectWord(";", "semicolon following animation num keys")) {
        return false;
    }
    for (int32_t i = 0; i < track.keyCount; ++i) {
        TimedKey key;
        if (!ReadTimedKey(key)) {
            return false;
        }
        track.keys.push_back(std::move(key));
    }
    return CloseBlock();
}

bool XReader::ReadTimedKey(TimedKey& key) {
    char separator = '\0';
    input_.ReadUnsigned(key.time);
    input_.ReadSeparator(separator);
    if (!ReadUnsignedCount(key.valueCount, "value count %d in animation key.")) {
        return false;
    }
    input_.ReadSeparator(separator);
    // The count bounds the loop but never an allocation, and a failed input ends it.
    for (uint32_t i = 0; i < key.valueCount && input_.good(); ++i) {
        float value = 0;
        if (!input_.ReadFloat(value)) {
            break;
        }
        key.values.push_back(value);
        input_.ReadSeparator(separator);
    }
    separator = '\0';
    bool extracted = input_.ReadSeparator(separator);
    if (!extracted || separator != ';') {
        return ReportExpected("';' in animation timed key", SeparatorText(extracted, separator));
    }
    separator = '\0';
    extracted = input_.ReadSeparator(separator);
    if (!extracted || (separator != ';' && separator != ',')) {
        return ReportExpected("semicolon or comma at end of animation timed key",
                              SeparatorText(extracted, separator));
    }
    return true;
}

}  // namespace toravel
