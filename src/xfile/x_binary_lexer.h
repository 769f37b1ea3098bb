// The binary encoding of X files ("bin ", and "bzip" once inflated) as tokens and numbers
// for the general reader.
//
// The data is a stream of little-endian 16-bit token numbers, some followed by a record:
// names and strings with their byte count, single integers, class ids, and integer and
// float lists with their element count (floats of 32 or 64 bits, as the header says).
// Numbers are handed out one at a time wherever the parser expects them, regardless of how
// the writer grouped them into lists. Every record is checked against the end of the data
// before it is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "xfile/x_token.h"

namespace toravel {

namespace xbinary {

// Token numbers of the binary encoding.
enum : uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 0x0A,
    kCloseBrace = 0x0B,
    kOpenParen = 0x0C,
    kCloseParen = 0x0D,
    kOpenBracket = 0x0E,
    kCloseBracket = 0x0F,
    kOpenAngle = 0x10,
    kCloseAngle = 0x11,
    kDot = 0x12,
    kComma = 0x13,
    kSemicolon = 0x14,
    kTemplate = 0x1F,
    kWord = 0x28,
    kDword = 0x29,
    kFloat = 0x2A,
    kDouble = 0x2B,
    kChar = 0x2C,
    kUchar = 0x2D,
    kSword = 0x2E,
    kSdword = 0x2F,
    kVoid = 0x30,
    kLpstr = 0x31,
    kUnicode = 0x32,
    kCstring = 0x33,
    kArray = 0x34,
};

}  // namespace xbinary

class XBinaryLexer {
  public:
    static constexpr size_t kMinBytesPerNumber = 4;

    // Reads `data` from `start` (after the header); `doubles` for 64-bit floats.
    XBinaryLexer(std::string_view data, size_t start, bool doubles,
                 std::string_view placeSuffix = {})
        : data_(data), doubles_(doubles), placeSuffix_(placeSuffix) {
        state_.pos = start;
    }

    XToken Next();
    XToken Peek() {
        const State saved = state_;
        XToken token = Next();
        state_ = saved;
        return token;
    }

    // The next number. An integer list element reads as a float too; a float does not read
    // as an integer. False, consuming nothing, when the next token holds no number.
    bool ReadFloat(float& value);
    bool ReadDword(uint32_t& value);

    size_t Remaining() const { return data_.size() - state_.pos; }
    // Where the lexer stands: just after what it read last.
    size_t Position() const { return state_.pos; }
    // "byte offset N" of a position, with the place suffix.
    std::string Where(size_t position) const;
    std::vector<std::string> WhereAll(const std::vector<size_t>& positions) const {
        std::vector<std::string> places;
        for (size_t position : positions) {
            places.push_back(Where(position));
        }
        return places;
    }
    std::string Describe(const XToken& token) const;

  private:
    enum class List : uint8_t { kNone, kIntegers, kFloats };
    struct State {
        size_t pos = 0;
        List list = List::kNone;
        uint32_t left = 0;  // elements of the current list not yet read
    };

    uint16_t Word(size_t at) const { return static_cast<uint16_t>(Byte(at) | (Byte(at + 1) << 8)); }
    uint32_t Dword(size_t at) const {
        return Byte(at) | (Byte(at + 1) << 8) | (Byte(at + 2) << 16) |
               (static_cast<uint32_t>(Byte(at + 3)) << 24);
    }
    uint32_t Byte(size_t at) const { return static_cast<unsigned char>(data_[at]); }
    // Fails unless `bytes` more bytes follow `at`.
    void Need(size_t at, uint64_t bytes, const char* what) const;
    size_t FloatSize() const { return doubles_ ? 8 : 4; }
    float FloatAt(size_t at) const;
    // Starts the list record at the read position; false when none stands there.
    bool EnterList();

    std::string_view data_;
    bool doubles_;
    std::string_view placeSuffix_;
    State state_;
};

}  // namespace toravel
