#include "smd/smd_triangle_ranges.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "text/text_input.h"
#include "text/text_util.h"

namespace toravel {

namespace {

// Ranges of about this size: small enough that the join keeps pace and that few records wait
// in memory, large enough that handing them out costs nothing.
constexpr size_t kRangeBytes = size_t{1} << 20;
constexpr size_t kMaxRanges = 4096;

// The line at `pos` as a whole-line read takes it; false for a line longer than it allows.
bool LineAt(std::string_view text, size_t pos, std::string_view& line, size_t& next) {
    const size_t left = text.size() - pos;
    const size_t limit = std::min(left, TextInput::kMaxLineLength + 1);
    const char* const start = text.data() + pos;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', limit));
    if (lf == nullptr) {
        return false;
    }
    line = std::string_view(start, static_cast<size_t>(lf - start));
    next = pos + line.size() + 1;
    return true;
}

// As the tokenizer skips them where a texture name may start (`trimmed` is not empty).
bool IsComment(std::string_view trimmed) {
    return trimmed[0] == '#' || (trimmed.size() > 1 && trimmed[0] == '/' && trimmed[1] == '/');
}

std::string_view FirstToken(std::string_view trimmed) {
    size_t end = 0;
    while (end < trimmed.size() && !IsBlank(trimmed[end])) {
        ++end;
    }
    return trimmed.substr(0, end);
}

// A line that a texture name or the section's "end" must be: no line that is skipped between
// triangles, and no vertex line. Inside a triangle every such line would break the read, so
// in a file that reads, a triangle starts here or the section ends.
bool StartsTriangleOrEnd(std::string_view line, SmdVertex& scratch) {
    const std::string_view trimmed = TrimBlanks(line);
    return !trimmed.empty() && !IsComment(trimmed) && !ParseVertexLine(line, scratch);
}

// The starts of the ranges: `begin`, then the first triangle start after each of `parts`
// equal steps through the rest of the text. No cut falls after a line that looks like the
// section's end, nor after a line that cannot be read.
std::vector<size_t> CutPoints(std::string_view text, size_t begin, size_t parts) {
    std::vector<size_t> cuts{begin};
    SmdVertex scratch;
    const size_t length = text.size() - begin;
    for (size_t i = 1; i < parts; ++i) {
        size_t pos = begin + length / parts * i;
        const size_t limit = begin + length / parts * (i + 1);
        if (pos <= cuts.back()) {
            continue;
        }
        if (text[pos - 1] != '\n') {
            const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
            if (lf == nullptr) {
                return cuts;
            }
            pos = static_cast<size_t>(static_cast<const char*>(lf) - text.data()) + 1;
        }
        for (std::string_view line; pos < limit && pos < text.size();) {
            size_t next = 0;
            if (!LineAt(text, pos, line, next)) {
                return cuts;
            }
            if (StartsTriangleOrEnd(line, scratch)) {
                if (FirstToken(TrimBlanks(line)) == "end") {
                    return cuts;
                }
                cuts.push_back(pos);
                break;
            }
            pos = next;
        }
    }
    return cuts;
}

// Parses the triangles from `begin` to `end` as the one-pass reader reads them, into `range`.
// A range that is not the last must end exactly at `end` after a whole triangle; the last one
// ends at the section's "end", whose line start goes to `endLine`. False where the one-pass
// reader would fail or read differently.
bool ParseRange(std::string_view text, size_t begin, size_t end, bool last, const NodeIdIndex& ids,
                TriangleRange& range, size_t& endLine) {
    SmdVertex vertex;
    range.begin = begin;
    std::string_view line;
    size_t next = 0;
    for (size_t pos = begin;;) {
        if (pos >= end) {
            return !last;
        }
        if (!LineAt(text, pos, line, next)) {
            return false;
        }
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || IsComment(trimmed)) {
            pos = next;
            continue;
        }
        if (FirstToken(trimmed) == "end") {
            endLine = pos;
            return last;
        }
        RangeTriangle& triangle = range.triangles.emplace_back();
        triangle.texture = trimmed;
        pos = next;
        for (RangeVertex& out : triangle.vertices) {
            do {
                if (pos >= end || !LineAt(text, pos, line, next)) {
                    return false;
                }
                pos = next;
            } while (TrimBlanks(line).empty());
            if (!ParseVertexLine(line, vertex)) {
                return false;
            }
            const NodeIndex owner = ids.Find(vertex.boneId);
            if (owner == kNoNode) {
                return false;
            }
            out = {owner, vertex.position, vertex.normal, vertex.texCoord, vertex.linkCount};
            for (int32_t i = 0; i < vertex.linkCount; ++i) {
                const SmdVertex::Link& link = vertex.links[static_cast<size_t>(i)];
                range.links.push_back(
                    {link.boneId == vertex.boneId ? owner : ids.Find(link.boneId), link.weight});
            }
        }
    }
}

// Hands the ranges to the threads: helpers parse the next range not yet taken, at most a few
// ranges ahead of the join; the calling thread joins the ranges in order and parses one
// itself whenever the next to join is not ready.
class RangeSchedule {
  public:
    RangeSchedule(std::string_view text, const NodeIdIndex& ids, std::vector<size_t> cuts,
                  unsigned threads)
        : text_(text),
          ids_(ids),
          cuts_(std::move(cuts)),
          window_(static_cast<size_t>(threads) * 2),
          ranges_(cuts_.size()),
          state_(cuts_.size(), kWaiting) {
        for (unsigned i = 1; i < threads && i < cuts_.size(); ++i) {
            helpers_.emplace_back([this] { Help(); });
        }
    }

    ~RangeSchedule() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& helper : helpers_) {
            helper.join();
        }
    }
    RangeSchedule(const RangeSchedule&) = delete;
    RangeSchedule& operator=(const RangeSchedule&) = delete;

    bool Run(const std::function<bool(const TriangleRange&)>& join, size_t& endLine) {
        for (size_t i = 0; i < cuts_.size(); ++i) {
            TriangleRange range;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                while (state_[i] < kParsed) {
                    if (CanStart()) {
                        ParseNext(lock);
                    } else {
                        changed_.wait(lock,
                                      [this, i] { return state_[i] >= kParsed || CanStart(); });
                    }
                }
                if (state_[i] == kBroken) {
                    return false;
                }
                range = std::move(ranges_[i]);
                joined_ = i + 1;
            }
            changed_.notify_all();
            if (!join(range)) {
                return false;
            }
        }
        endLine = endLine_;
        return true;
    }

  private:
    enum State : char { kWaiting, kParsing, kParsed, kBroken };

    bool CanStart() const { return next_ < cuts_.size() && next_ < joined_ + window_; }

    // Takes the next range and parses it with the lock released.
    void ParseNext(std::unique_lock<std::mutex>& lock) {
        const size_t index = next_++;
        state_[index] = kParsing;
        lock.unlock();
        const bool last = index + 1 == cuts_.size();
        const size_t end = last ? text_.size() : cuts_[index + 1];
        bool ok = false;
        try {
            ok = ParseRange(text_, cuts_[index], end, last, ids_, ranges_[index], endLine_);
        } catch (const std::bad_alloc&) {
            // The one-pass read that follows says what it says about the memory.
            ranges_[index] = {};
        }
        lock.lock();
        state_[index] = ok ? kParsed : kBroken;
        changed_.notify_all();
    }

    void Help() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stop_ || next_ >= cuts_.size() || CanStart(); });
            if (stop_ || next_ >= cuts_.size()) {
                return;
            }
            ParseNext(lock);
        }
    }

    const std::string_view text_;
    const NodeIdIndex& ids_;
    const std::vector<size_t> cuts_;
    const size_t window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TriangleRange> ranges_;
    std::vector<State> state_;
    size_t next_ = 0;     // the next range to parse
    size_t joined_ = 0;   // ranges handed to the join
    size_t endLine_ = 0;  // written by the parse of the last range
    bool stop_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace

bool ReadTriangleRanges(std::string_view text, size_t begin, unsigned threads,
                        const NodeIdIndex& ids,
                        const std::function<bool(const TriangleRange&)>& join, size_t& endLine) {
    if (begin >= text.size() || text.back() != '\n' || threads < 2) {
        return false;
    }
    const size_t length = text.size() - begin;
    const size_t parts =
        std::min(kMaxRanges, std::max(static_cast<size_t>(threads) * 4, length / kRangeBytes));
    RangeSchedule schedule(text, ids, CutPoints(text, begin, parts), threads);
    return schedule.Run(join, endLine);
}

}  // namespace toravel
