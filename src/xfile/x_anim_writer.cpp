// AnimationSet blocks. Loops run over the lists themselves; the stored key count is written
// as it is, and a key's value count never makes the writer read past its values.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "text/ordered_render.h"
#include "xfile/x_writer.h"

namespace toravel {

void WriteAnimationSet(TextWriter& out, const AnimSet& set) {
    WriteAnimationSet(out, set, 1);
}

void WriteAnimationSet(TextWriter& out, const AnimSet& set, unsigned threads) {
    // Ends the line a previous set left open; after the frames it gives an empty line.
    out.Newline();
    out.Text("AnimationSet ");
    if (!set.name.empty()) {
        out.Text(set.name).Char(' ');
    }
    out.Char('{').Newline();
    if (threads > 1 && set.animations.size() > 1) {
        OrderedRender parts(set.animations.size(), threads, [&set](size_t i, TextWriter& part) {
            WriteAnimation(part, set.animations[i], 1);
        });
        for (size_t i = 0; i < set.animations.size(); ++i) {
            parts.Take(i, out);
        }
    } else {
        for (const NodeAnimation& animation : set.animations) {
            WriteAnimation(out, animation, 1);
        }
    }
    out.Char('}');
}

void WriteAnimation(TextWriter& out, const NodeAnimation& animation, int depth) {
    WriteIndent(out, depth);
    out.Text("Animation {").Newline();
    for (const KeyTrack& track : animation.tracks) {
        WriteAnimationKey(out, track, depth + 1);
    }
    WriteIndent(out, depth + 1);
    out.Text("{ ").Text(animation.name).Text(" }").Newline();
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteAnimationKey(TextWriter& out, const KeyTrack& track, int depth) {
    WriteIndent(out, depth);
    out.Text("AnimationKey {").Newline();
    WriteIndent(out, depth + 1);
    out.Int(track.keyType).Char(';').Newline();
    WriteIndent(out, depth + 1);
    out.Int(track.keyCount).Char(';').Newline();
    const size_t keys = track.keys.size();
    for (size_t i = 0; i < keys; ++i) {
        WriteTimedKey(out, track.keys[i], depth + 1, i + 1 == keys);
    }
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteTimedKey(TextWriter& out, const TimedKey& key, int depth, bool isLast) {
    WriteIndent(out, depth);
    out.Unsigned(key.time).Char(';');
    if (key.isMatrix) {
        out.Unsigned(key.valueCount).Char(';');
        for (size_t i = 0; i < key.matrix.m.size(); ++i) {
            if (i > 0) {
                out.Char(',');
            }
            out.Float(key.matrix.m[i]);
        }
        out.Char(';');
    } else {
        const size_t n = std::min<size_t>(key.valueCount, key.values.size());
        out.Unsigned(static_cast<uint32_t>(n)).Char(';');
        for (size_t i = 0; i < n; ++i) {
            out.Float(key.values[i]).Char(i + 1 < n ? ',' : ';');
        }
    }
    out.Char(';').Char(isLast ? ';' : ',').Newline();
}

}  // namespace toravel
