#include "xfile/x_mszip.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace toravel {

namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kWindow = 32768;

uint32_t Byte(std::string_view data, size_t at) {
    return static_cast<unsigned char>(data[at]);
}

std::string At(size_t offset) {
    return " at byte offset " + std::to_string(offset);
}

struct Inflater {
    z_stream stream{};
    bool ready = false;
    Inflater() { ready = inflateInit2(&stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ready) {
            inflateEnd(&stream);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
};

}  // namespace

std::string InflateXMsZip(std::string_view file, std::string& out,
                          std::vector<std::string>& warnings) {
    if (file.size() < kHeaderSize + 4) {
        return "the compressed data ends before its size" + At(kHeaderSize);
    }
    const uint64_t limit = std::min(kMaxXInflateRatio * file.size(), kMaxXInflatedBytes);
    const uint32_t declared =
        Byte(file, 16) | (Byte(file, 17) << 8) | (Byte(file, 18) << 16) | (Byte(file, 19) << 24);
    const std::string refused = "the compressed data inflates to more than " +
                                std::to_string(kMaxXInflateRatio) +
                                " times its size (or more than 4 GiB); it is refused";
    if (declared > limit) {
        return refused + " (it declares " + std::to_string(declared) + " bytes)";
    }
    Inflater inflater;
    if (!inflater.ready) {
        return "the decompressor could not be started";
    }
    z_stream& z = inflater.stream;
    out.assign(file.substr(0, kHeaderSize));
    // The declared size is a hint only; what is reserved stays in proportion to the input.
    out.reserve(std::min<uint64_t>(declared, 8 * uint64_t{file.size()}));
    size_t pos = kHeaderSize + 4;
    for (size_t block = 1; pos < file.size(); ++block) {
        const std::string which = "MSZIP block " + std::to_string(block);
        if (file.size() - pos < 6) {
            return "the header of " + which + " runs past the end of the data" + At(pos);
        }
        const uint32_t inflated = Byte(file, pos) | (Byte(file, pos + 1) << 8);
        const uint32_t compressed = Byte(file, pos + 2) | (Byte(file, pos + 3) << 8);
        if (compressed < 2 || compressed > file.size() - pos - 4) {
            return which + " says it holds " + std::to_string(compressed) +
                   " compressed bytes, which the data does not have" + At(pos + 2);
        }
        if (file[pos + 4] != 'C' || file[pos + 5] != 'K') {
            return "expected the signature 'CK' of " + which + At(pos + 4);
        }
        if (out.size() + inflated > limit) {
            return refused;
        }
        if (inflateReset(&z) != Z_OK) {
            return "the decompressor failed" + At(pos);
        }
        const size_t history = std::min(out.size() - kHeaderSize, kWindow);
        if (history > 0 &&
            inflateSetDictionary(&z,
                                 reinterpret_cast<const Bytef*>(out.data() + out.size() - history),
                                 static_cast<uInt>(history)) != Z_OK) {
            return "the decompressor failed to take the history of " + which + At(pos);
        }
        // One byte more than the block should give, to notice a block that gives more.
        const size_t start = out.size();
        out.resize(start + inflated + 1);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.data() + pos + 6));
        z.avail_in = compressed - 2;
        z.next_out = reinterpret_cast<Bytef*>(out.data() + start);
        z.avail_out = inflated + 1;
        const int status = inflate(&z, Z_FINISH);
        const size_t produced = inflated + 1 - z.avail_out;
        out.resize(start + std::min<size_t>(produced, inflated));
        if (produced > inflated) {
            return which + " inflates to more than the " + std::to_string(inflated) +
                   " bytes its header says" + At(pos);
        }
        if (status != Z_STREAM_END) {
            const std::string detail = z.msg != nullptr ? std::string(" (") + z.msg + ")" : "";
            return "the deflate data of " + which + " is damaged or ends early" + detail +
                   At(pos + 6);
        }
        if (produced != inflated) {
            return which + " inflates to " + std::to_string(produced) +
                   " bytes, but its header says " + std::to_string(inflated) + At(pos);
        }
        pos += 4 + compressed;
    }
    if (declared != out.size()) {
        warnings.push_back("the compressed data declares " + std::to_string(declared) +
                           " bytes uncompressed and inflates to " + std::to_string(out.size()));
    }
    return {};
}

}  // namespace toravel
