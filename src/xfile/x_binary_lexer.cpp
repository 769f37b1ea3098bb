#include "xfile/x_binary_lexer.h"

#include <cstdio>

namespace toravel {

namespace {

std::string_view OtherTokenText(uint16_t token) {
    using namespace xbinary;
    switch (token) {
        case kOpenParen:
            return "(";
        case kCloseParen:
            return ")";
        case kOpenBracket:
            return "[";
        case kCloseBracket:
            return "]";
        case kOpenAngle:
            return "<";
        case kCloseAngle:
            return ">";
        case kDot:
            return ".";
        case kWord:
            return "WORD";
        case kDword:
            return "DWORD";
        case kFloat:
            return "FLOAT";
        case kDouble:
            return "DOUBLE";
        case kChar:
            return "CHAR";
        case kUchar:
            return "UCHAR";
        case kSword:
            return "SWORD";
        case kSdword:
            return "SDWORD";
        case kVoid:
            return "VOID";
        case kLpstr:
            return "STRING";
        case kUnicode:
            return "UNICODE";
        case kCstring:
            return "CSTRING";
        case kArray:
            return "array";
        default:
            return {};
    }
}

}  // namespace

void XBinaryLexer::Need(size_t at, uint64_t bytes, const char* what) const {
    if (at > data_.size() || bytes > data_.size() - at) {
        throw XReadFailure{at, std::string(what) + " that runs past the end of the data"};
    }
}

float XBinaryLexer::FloatAt(size_t at) const {
    if (doubles_) {
        const uint64_t bits = Dword(at) | (static_cast<uint64_t>(Dword(at + 4)) << 32);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return static_cast<float>(value);
    }
    const uint32_t bits = Dword(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool XBinaryLexer::EnterList() {
    const size_t at = state_.pos;
    if (data_.size() - at < 2) {
        return false;
    }
    const uint16_t token = Word(at);
    if (token != xbinary::kIntegerList && token != xbinary::kFloatList) {
        return false;
    }
    Need(at + 2, 4, "a list record");
    const uint32_t count = Dword(at + 2);
    const bool floats = token == xbinary::kFloatList;
    Need(at + 6, static_cast<uint64_t>(count) * (floats ? FloatSize() : 4),
         floats ? "a float list" : "an integer list");
    state_.pos = at + 6;
    state_.list = floats ? List::kFloats : List::kIntegers;
    state_.left = count;
    return true;
}

XToken XBinaryLexer::Next() {
    XToken token;
    if (state_.list != List::kNone && state_.left > 0) {
        token.kind = XTokenKind::kNumbers;
        token.position = state_.pos;
        token.count = state_.left;
        const size_t element = state_.list == List::kFloats ? FloatSize() : 4;
        state_.pos += static_cast<size_t>(state_.left) * element;
        state_.list = List::kNone;
        state_.left = 0;
        return token;
    }
    state_.list = List::kNone;
    for (;;) {
        const size_t at = state_.pos;
        token.position = at;
        if (at >= data_.size()) {
            token.kind = XTokenKind::kEnd;
            return token;
        }
        Need(at, 2, "a token");
        const uint16_t number = Word(at);
        state_.pos = at + 2;
        switch (number) {
            case xbinary::kName:
            case xbinary::kString: {
                Need(at + 2, 4, "a name or string record");
                const uint32_t count = Dword(at + 2);
                Need(at + 6, count, number == xbinary::kName ? "a name" : "a string");
                token.kind = number == xbinary::kName ? XTokenKind::kName : XTokenKind::kString;
                token.text = data_.substr(at + 6, count);
                state_.pos = at + 6 + count;
                if (number == xbinary::kString && Remaining() >= 2 &&
                    (Word(state_.pos) == xbinary::kSemicolon ||
                     Word(state_.pos) == xbinary::kComma)) {
                    // The terminator, written as a token or as a 32-bit value.
                    state_.pos += 2;
                    if (Remaining() >= 2 && Word(state_.pos) == 0) {
                        state_.pos += 2;
                    }
                }
                return token;
            }
            case xbinary::kInteger:
                Need(at + 2, 4, "an integer record");
                state_.pos = at + 2;
                state_.list = List::kIntegers;
                state_.left = 1;
                return Next();
            case xbinary::kGuid:
                Need(at + 2, 16, "a class id record");
                token.kind = XTokenKind::kGuid;
                state_.pos = at + 18;
                return token;
            case xbinary::kIntegerList:
            case xbinary::kFloatList:
                state_.pos = at;
                EnterList();
                if (state_.left == 0) {
                    state_.list = List::kNone;
                    continue;
                }
                return Next();
            case xbinary::kOpenBrace:
                token.kind = XTokenKind::kOpenBrace;
                token.text = "{";
                return token;
            case xbinary::kCloseBrace:
                token.kind = XTokenKind::kCloseBrace;
                token.text = "}";
                return token;
            case xbinary::kComma:
            case xbinary::kSemicolon:
                continue;
            case xbinary::kTemplate:
                token.kind = XTokenKind::kTemplate;
                token.text = "template";
                return token;
            default:
                token.text = OtherTokenText(number);
                if (token.text.empty()) {
                    char text[64];
                    std::snprintf(text, sizeof text, "an unknown token number %u",
                                  static_cast<unsigned>(number));
                    throw XReadFailure{at, text};
                }
                token.kind = XTokenKind::kOther;
                return token;
        }
    }
}

bool XBinaryLexer::ReadFloat(float& value) {
    for (;;) {
        if (state_.list != List::kNone && state_.left > 0) {
            if (state_.list == List::kFloats) {
                value = FloatAt(state_.pos);
                state_.pos += FloatSize();
            } else {
                value = static_cast<float>(Dword(state_.pos));
                state_.pos += 4;
            }
            if (--state_.left == 0) {
                state_.list = List::kNone;
            }
            return true;
        }
        state_.list = List::kNone;
        if (Remaining() < 2) {
            return false;
        }
        const uint16_t token = Word(state_.pos);
        if (token == xbinary::kComma || token == xbinary::kSemicolon) {
            state_.pos += 2;
            continue;
        }
        if (token == xbinary::kInteger) {
            Need(state_.pos + 2, 4, "an integer record");
            value = static_cast<float>(Dword(state_.pos + 2));
            state_.pos += 6;
            return true;
        }
        if (!EnterList()) {
            return false;
        }
    }
}

bool XBinaryLexer::ReadDword(uint32_t& value) {
    for (;;) {
        if (state_.list == List::kIntegers && state_.left > 0) {
            value = Dword(state_.pos);
            state_.pos += 4;
            if (--state_.left == 0) {
                state_.list = List::kNone;
            }
            return true;
        }
        if (state_.list == List::kFloats && state_.left > 0) {
            return false;
        }
        state_.list = List::kNone;
        if (Remaining() < 2) {
            return false;
        }
        const uint16_t token = Word(state_.pos);
        if (token == xbinary::kComma || token == xbinary::kSemicolon) {
            state_.pos += 2;
            continue;
        }
        if (token == xbinary::kInteger) {
            Need(state_.pos + 2, 4, "an integer record");
            value = Dword(state_.pos + 2);
            state_.pos += 6;
            return true;
        }
        const State saved = state_;
        if (!EnterList()) {
            return false;
        }
        if (state_.list == List::kFloats && state_.left > 0) {
            state_ = saved;
            return false;
        }
    }
}

std::string XBinaryLexer::Where(size_t position) const {
    return "byte offset " + std::to_string(position) + std::string(placeSuffix_);
}

namespace {

// `text` between `open` and `close`, appended rather than concatenated, which also keeps
// GCC 12's overlap warning about string concatenation quiet.
std::string Enclosed(std::string_view open, std::string_view text, std::string_view close) {
    std::string shown(open);
    shown.append(text.substr(0, 40));
    shown.append(close);
    return shown;
}

}  // namespace

std::string XBinaryLexer::Describe(const XToken& token) const {
    switch (token.kind) {
        case XTokenKind::kEnd:
            return "the end of the data";
        case XTokenKind::kNumbers:
            return token.count == 1 ? "a number" : std::to_string(token.count) + " numbers";
        case XTokenKind::kGuid:
            return "a class id";
        case XTokenKind::kString:
            return Enclosed("the string \"", token.text, "\"");
        default:
            return Enclosed("'", token.text, "'");
    }
}

}  // namespace toravel
