// The compressed encodings of X files ("tzip", "bzip"): after the 16-byte header, the size of
// the whole uncompressed file (header included) as a 32-bit number, then MSZIP blocks. Each
// block holds its inflated size and its compressed size as 16-bit numbers, the signature
// "CK" (counted in the compressed size) and one deflate stream, which may refer back to
// everything the blocks before it inflated to (its dictionary).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace toravel {

// Compressed data may inflate to at most this many times its own size, and to at most
// kMaxXInflatedBytes, before the reader refuses it.
inline constexpr uint64_t kMaxXInflateRatio = 64;
inline constexpr uint64_t kMaxXInflatedBytes = uint64_t{4} << 30;

// Inflates `file`, whose header says it is compressed, into `out`: its first 16 bytes
// followed by the inflated data, so that positions in `out` are positions in the
// uncompressed file. Returns the empty string on success, else the one message (naming the
// byte offset in `file`). Size mismatches that do not hinder reading go to `warnings`.
std::string InflateXMsZip(std::string_view file, std::string& out,
                          std::vector<std::string>& warnings);

}  // namespace toravel
