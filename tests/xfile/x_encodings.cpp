#include "xfile/x_encodings.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace toravel::testing {

namespace {

// Token numbers from the binary encoding's documentation.
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
    kDot = 0x12,
    kComma = 0x13,
    kSemicolon = 0x14,
    kTemplate = 0x1F,
};

const std::map<std::string, uint16_t, std::less<>> kTypeKeywords = {
    {"WORD", 0x28},  {"DWORD", 0x29},   {"FLOAT", 0x2A},   {"DOUBLE", 0x2B}, {"CHAR", 0x2C},
    {"UCHAR", 0x2D}, {"SWORD", 0x2E},   {"SDWORD", 0x2F},  {"VOID", 0x30},   {"STRING", 0x31},
    {"LPSTR", 0x31}, {"UNICODE", 0x32}, {"CSTRING", 0x33}, {"array", 0x34},  {"ARRAY", 0x34},
};

class BinaryWriter {
  public:
    explicit BinaryWriter(bool doubles) : doubles_(doubles) {}

    void Token(uint16_t token) {
        Flush();
        Word(token);
    }
    void Name(std::string_view name) {
        Token(kName);
        Dword(static_cast<uint32_t>(name.size()));
        out_.append(name);
    }
    void String(std::string_view text, uint16_t terminator) {
        Token(kString);
        Dword(static_cast<uint32_t>(text.size()));
        out_.append(text);
        Word(terminator);
    }
    void Integer(uint32_t value) {
        Token(kInteger);
        Dword(value);
    }
    void Guid(std::string_view hex) {
        Token(kGuid);
        std::string digits;
        for (char c : hex) {
            if (std::isxdigit(static_cast<unsigned char>(c))) {
                digits += c;
            }
        }
        ASSERT_EQ(digits.size(), 32u) << hex;
        auto field = [&](size_t at, size_t n) {
            return static_cast<uint32_t>(std::strtoul(digits.substr(at, n).c_str(), nullptr, 16));
        };
        Dword(field(0, 8));
        Word(static_cast<uint16_t>(field(8, 4)));
        Word(static_cast<uint16_t>(field(12, 4)));
        for (size_t i = 16; i < 32; i += 2) {
            out_.push_back(static_cast<char>(field(i, 2)));
        }
    }
    void ListInteger(uint32_t value) {
        if (listKind_ != kIntegerList) {
            Flush();
            listKind_ = kIntegerList;
        }
        integers_.push_back(value);
    }
    void ListFloat(double value) {
        if (listKind_ != kFloatList) {
            Flush();
            listKind_ = kFloatList;
        }
        floats_.push_back(value);
    }
    std::string Finish() {
        Flush();
        return std::move(out_);
    }
    void Raw(std::string_view bytes) { out_.append(bytes); }

  private:
    void Flush() {
        if (listKind_ == kIntegerList) {
            Word(kIntegerList);
            Dword(static_cast<uint32_t>(integers_.size()));
            for (uint32_t v : integers_) {
                Dword(v);
            }
        } else if (listKind_ == kFloatList) {
            Word(kFloatList);
            Dword(static_cast<uint32_t>(floats_.size()));
            for (double v : floats_) {
                if (doubles_) {
                    uint64_t bits;
                    std::memcpy(&bits, &v, sizeof bits);
                    Dword(static_cast<uint32_t>(bits));
                    Dword(static_cast<uint32_t>(bits >> 32));
                } else {
                    const auto f = static_cast<float>(v);
                    uint32_t bits;
                    std::memcpy(&bits, &f, sizeof bits);
                    Dword(bits);
                }
            }
        }
        listKind_ = 0;
        integers_.clear();
        floats_.clear();
    }
    void Word(uint16_t v) {
        out_.push_back(static_cast<char>(v & 0xFF));
        out_.push_back(static_cast<char>(v >> 8));
    }
    void Dword(uint32_t v) {
        Word(static_cast<uint16_t>(v & 0xFFFF));
        Word(static_cast<uint16_t>(v >> 16));
    }

    bool doubles_;
    std::string out_;
    uint16_t listKind_ = 0;
    std::vector<uint32_t> integers_;
    std::vector<double> floats_;
};

bool IsDelimiter(char c) {
    return std::string_view(" \t\r\n,;{}\"<>[]()").find(c) != std::string_view::npos;
}

bool IsIntegerText(std::string_view run) {
    return !run.empty() && run.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsFloatText(std::string_view run) {
    if (run.empty() || run.find_first_of(".eE") == std::string_view::npos) {
        return false;
    }
    char* end = nullptr;
    const std::string text(run);
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

}  // namespace

std::string TextToBinaryX(std::string_view text) {
    EXPECT_EQ(text.substr(8, 4), "txt ");
    const bool doubles = text.substr(12, 4) == "0064";
    BinaryWriter out(doubles);
    std::string header(text.substr(0, 16));
    header.replace(8, 4, "bin ");
    out.Raw(header);
    size_t i = 16;
    int templateDepth = 0;  // brace depth inside a template declaration
    bool inTemplate = false;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < text.size() && text[i + 1] == '/')) {
            i = std::min(text.find('\n', i), text.size());
        } else if (c == ',' || c == ';') {
            if (inTemplate) {
                out.Token(c == ',' ? kComma : kSemicolon);
            }
            ++i;
        } else if (c == '{' || c == '}') {
            out.Token(c == '{' ? kOpenBrace : kCloseBrace);
            if (inTemplate) {
                templateDepth += c == '{' ? 1 : -1;
                inTemplate = templateDepth > 0;
            }
            ++i;
        } else if (c == '"') {
            const size_t close = text.find('"', i + 1);
            const std::string_view content = text.substr(i + 1, close - i - 1);
            i = close + 1;
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
                ++i;
            }
            uint16_t terminator = kSemicolon;
            if (i < text.size() && (text[i] == ',' || text[i] == ';')) {
                terminator = text[i] == ',' ? kComma : kSemicolon;
                ++i;
            }
            out.String(content, terminator);
        } else if (c == '<') {
            const size_t close = text.find('>', i);
            out.Guid(text.substr(i + 1, close - i - 1));
            i = close + 1;
        } else if (std::string_view("[]()").find(c) != std::string_view::npos) {
            const uint16_t tokens[] = {kOpenBracket, kCloseBracket, kOpenParen, kCloseParen};
            out.Token(tokens[std::string_view("[]()").find(c)]);
            ++i;
        } else {
            const size_t start = i;
            while (i < text.size() && !IsDelimiter(text[i])) {
                ++i;
            }
            const std::string_view run = text.substr(start, i - start);
            // A run that an object's brace follows is the object's name, even "01".
            const size_t next = text.find_first_not_of(" \t\r\n", i);
            const bool named = next != std::string_view::npos && text[next] == '{';
            if (run == "template") {
                out.Token(kTemplate);
                inTemplate = true;
                templateDepth = 0;
            } else if (inTemplate) {
                if (const auto keyword = kTypeKeywords.find(run); keyword != kTypeKeywords.end()) {
                    out.Token(keyword->second);
                } else if (run == "...") {
                    out.Token(kDot);
                    out.Token(kDot);
                    out.Token(kDot);
                } else if (IsIntegerText(run)) {
                    out.Integer(static_cast<uint32_t>(std::stoul(std::string(run))));
                } else {
                    out.Name(run);
                }
            } else if (named) {
                out.Name(run);
            } else if (IsIntegerText(run)) {
                out.ListInteger(static_cast<uint32_t>(std::stoul(std::string(run))));
            } else if (IsFloatText(run)) {
                out.ListFloat(std::strtod(std::string(run).c_str(), nullptr));
            } else {
                out.Name(run);
            }
        }
    }
    return out.Finish();
}

std::string CompressX(std::string_view file, size_t blockSize) {
    std::string out(file.substr(0, 16));
    const std::string_view kind = file.substr(8, 4);
    EXPECT_TRUE(kind == "txt " || kind == "bin ") << kind;
    out.replace(8, 4, kind == "txt " ? "tzip" : "bzip");
    const auto total = static_cast<uint32_t>(file.size());
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((total >> shift) & 0xFF));
    }
    const std::string_view body = file.substr(16);
    for (size_t at = 0; at < body.size(); at += blockSize) {
        const std::string_view block = body.substr(at, blockSize);
        z_stream z{};
        EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
        // The dictionary is the previous block's output, as the format's writers use it.
        const size_t history = std::min<size_t>(at, blockSize);
        if (history > 0) {
            EXPECT_EQ(
                deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(body.data() + at - history),
                                     static_cast<uInt>(history)),
                Z_OK);
        }
        std::string packed(deflateBound(&z, block.size()) + 16, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
        z.avail_in = static_cast<uInt>(block.size());
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = static_cast<uInt>(packed.size());
        EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
        packed.resize(z.total_out);
        deflateEnd(&z);
        const auto inflated = static_cast<uint16_t>(block.size());
        const auto compressed = static_cast<uint16_t>(packed.size() + 2);
        out.push_back(static_cast<char>(inflated & 0xFF));
        out.push_back(static_cast<char>(inflated >> 8));
        out.push_back(static_cast<char>(compressed & 0xFF));
        out.push_back(static_cast<char>(compressed >> 8));
        out.append("CK");
        out.append(packed);
    }
    return out;
}

}  // namespace toravel::testing
