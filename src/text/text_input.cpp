#include "text/text_input.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "text/file_bytes.h"

namespace toravel {

namespace {

// Drops every CR that stands before an LF, in place; returns the new length.
size_t FoldLineEnds(char* text, size_t size) {
    const char* first = static_cast<const char*>(std::memchr(text, '\r', size));
    if (first == nullptr) {
        return size;
    }
    size_t out = static_cast<size_t>(first - text);
    for (size_t in = out; in < size; ++in) {
        if (text[in] == '\r' && in + 1 < size && text[in + 1] == '\n') {
            continue;
        }
        text[out++] = text[in];
    }
    return out;
}

}  // namespace

TextInput::TextInput(std::string content) {
    content.resize(FoldLineEnds(content.data(), content.size()));
    if (!content.empty() && content.back() != '\n') {
        content.push_back('\n');
    }
    auto owned = std::make_shared<const std::string>(std::move(content));
    text_ = *owned;
    storage_ = std::move(owned);
}

TextInput TextInput::View(std::string_view bytes) {
    if (!bytes.empty() && bytes.back() == '\n' &&
        std::memchr(bytes.data(), '\r', bytes.size()) == nullptr) {
        TextInput input;
        input.text_ = bytes;
        return input;
    }
    return TextInput(std::string(bytes));
}

std::string LineTooLongHint(size_t line) {
    return "line " + std::to_string(line) + " is longer than 1,022 characters";
}

size_t TextInput::LineAt(size_t position) const {
    const std::string_view before =
        text_.substr(0, position < text_.size() ? position : text_.size());
    size_t line = 1;
    for (const char* p = before.data();
         (p = static_cast<const char*>(std::memchr(
              p, '\n', static_cast<size_t>(before.data() + before.size() - p)))) != nullptr;
         ++p) {
        ++line;
    }
    return line;
}

std::optional<TextInput> TextInput::OpenFile(const std::string& path) {
    // One byte of room for a missing final line feed, so that adding it copies nothing.
    std::optional<std::string> bytes = ReadFileBytes(path, 1);
    if (!bytes) {
        return std::nullopt;
    }
    return TextInput(std::move(*bytes));
}

void TextInput::seek(size_t position) {
    if (fail_) {
        return;
    }
    eof_ = false;
    pos_ = position <= text_.size() ? position : text_.size();
}

void TextInput::SetProgress(std::function<void(size_t, size_t)> report, size_t step) {
    progress_ = std::move(report);
    progressStep_ = step > 0 ? step : 1;
    nextProgress_ = progress_ ? pos_ + progressStep_ : kNoPosition;
}

bool TextInput::ReadLine(std::string_view& line) {
    if (pos_ >= nextProgress_) {
        nextProgress_ = pos_ + progressStep_;
        progress_(pos_, text_.size());
    }
    line = {};
    if (!good()) {
        fail_ = true;
        return false;
    }
    if (pos_ >= text_.size()) {
        eof_ = fail_ = true;
        return false;
    }
    const char* start = text_.data() + pos_;
    const size_t left = text_.size() - pos_;
    const size_t limit = left < kMaxLineLength + 1 ? left : kMaxLineLength + 1;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', limit));
    if (lf == nullptr) {
        // Either a line longer than the limit or, thanks to the final line feed, nothing else.
        pos_ += kMaxLineLength;
        fail_ = true;
        lineTooLong_ = left > kMaxLineLength;
        return false;
    }
    line = std::string_view(start, static_cast<size_t>(lf - start));
    pos_ += line.size() + 1;
    return true;
}

bool TextInput::SkipWhiteSpace() {
    if (!good()) {
        fail_ = true;
        return false;
    }
    while (pos_ < text_.size() && IsWhiteSpace(text_[pos_])) {
        ++pos_;
    }
    if (pos_ >= text_.size()) {
        eof_ = fail_ = true;
        return false;
    }
    return true;
}

template <typename T>
bool TextInput::ReadNumber(T& value, size_t (*parse)(std::string_view, T&)) {
    if (!SkipWhiteSpace()) {
        return false;
    }
    const size_t used = parse(std::string_view(text_).substr(pos_), value);
    if (used == 0) {
        fail_ = true;
        return false;
    }
    pos_ += used;
    if (pos_ >= text_.size()) {
        eof_ = true;
    }
    return true;
}

bool TextInput::ReadInt(int32_t& value) {
    return ReadNumber(value, ParseInt);
}

bool TextInput::ReadUnsigned(uint32_t& value) {
    return ReadNumber(value, ParseUnsigned);
}

bool TextInput::ReadFloat(float& value) {
    return ReadNumber(value, ParseFloat);
}

bool TextInput::ReadSeparator(char& c) {
    if (!SkipWhiteSpace()) {
        return false;
    }
    c = text_[pos_++];
    return true;
}

bool TextInput::ReadWord(std::string_view& word) {
    word = {};
    if (!SkipWhiteSpace()) {
        return false;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && !IsWhiteSpace(text_[pos_])) {
        ++pos_;
    }
    word = std::string_view(text_).substr(start, pos_ - start);
    return true;
}

namespace {

size_t SkipLeadingWhiteSpace(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    return i;
}

// Decimal digits with an optional sign, as an integer extraction accumulates them. Returns
// the characters used, 0 when no digit follows the sign; sets `negative` and `magnitude`
// (saturated), and `overflow` when the magnitude did not fit in 64 bits.
size_t ScanInteger(std::string_view text, bool& negative, uint64_t& magnitude, bool& overflow) {
    size_t i = 0;
    negative = false;
    overflow = false;
    magnitude = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) {
            overflow = true;
        } else {
            magnitude = magnitude * 10 + digit;
        }
        ++i;
    }
    return i == digitsStart ? 0 : i;
}

}  // namespace

size_t ParseInt(std::string_view text, int32_t& value) {
    const size_t skip = SkipLeadingWhiteSpace(text);
    bool negative, overflow;
    uint64_t magnitude;
    const size_t used = ScanInteger(text.substr(skip), negative, magnitude, overflow);
    if (used == 0) {
        value = 0;
        return 0;
    }
    constexpr uint64_t kMaxPositive = std::numeric_limits<int32_t>::max();
    if (!negative && (overflow || magnitude > kMaxPositive)) {
        value = std::numeric_limits<int32_t>::max();
        return 0;
    }
    if (negative && (overflow || magnitude > kMaxPositive + 1)) {
        value = std::numeric_limits<int32_t>::min();
        return 0;
    }
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return skip + used;
}

size_t ParseUnsigned(std::string_view text, uint32_t& value) {
    const size_t skip = SkipLeadingWhiteSpace(text);
    bool negative, overflow;
    uint64_t magnitude;
    const size_t used = ScanInteger(text.substr(skip), negative, magnitude, overflow);
    if (used == 0) {
        value = 0;
        return 0;
    }
    if (overflow || magnitude > std::numeric_limits<uint32_t>::max()) {
        value = std::numeric_limits<uint32_t>::max();
        return 0;
    }
    // Like strtoul, a minus sign negates in unsigned arithmetic: "-1" reads as 4294967295.
    value = static_cast<uint32_t>(magnitude);
    if (negative) {
        value = static_cast<uint32_t>(0u - value);
    }
    return skip + used;
}

namespace {

// The common case of plain decimals ("-12.345678") without the general conversion: with at
// most 15 digits, digits / 10^k is the correctly rounded double of the number,
// and rounding that double to float gives the correctly rounded float unless the double lies
// exactly halfway between two floats. Returns false where it cannot decide.
bool FastDecimalToFloat(bool negative, uint64_t digits, int fractionDigits, float& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double exact = static_cast<double>(digits) / kPowers[fractionDigits];
    uint64_t bits;
    std::memcpy(&bits, &exact, sizeof bits);
    // The 29 bits that rounding to float drops: exactly half of them set means a tie.
    if ((bits & 0x1FFFFFFFu) == 0x10000000u) {
        return false;
    }
    const auto rounded = static_cast<float>(exact);
    value = negative ? -rounded : rounded;
    return true;
}

}  // namespace

size_t ParseFloat(std::string_view text, float& value) {
    // The usual "-12.345678": scanned once with plain pointers, no exponent, at most 15
    // digits. Everything else takes the general path below.
    {
        const char* p = text.data();
        const char* const end = p + text.size();
        while (p < end && IsWhiteSpace(*p)) {
            ++p;
        }
        const char* q = p;
        bool negative = false;
        if (q < end && (*q == '-' || *q == '+')) {
            negative = *q == '-';
            ++q;
        }
        uint64_t mantissa = 0;
        const char* const digitsStart = q;
        while (q < end && static_cast<unsigned char>(*q - '0') < 10) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(*q - '0');
            ++q;
        }
        auto digitCount = q - digitsStart;
        ptrdiff_t fractionDigits = 0;
        if (q < end && *q == '.') {
            ++q;
            const char* const fractionStart = q;
            while (q < end && static_cast<unsigned char>(*q - '0') < 10) {
                mantissa = mantissa * 10 + static_cast<uint64_t>(*q - '0');
                ++q;
            }
            fractionDigits = q - fractionStart;
            digitCount += fractionDigits;
        }
        if (digitCount > 0 && digitCount <= 15 && (q == end || (*q != 'e' && *q != 'E')) &&
            FastDecimalToFloat(negative, mantissa, static_cast<int>(fractionDigits), value)) {
            return static_cast<size_t>(q - text.data());
        }
    }
    const size_t skip = SkipLeadingWhiteSpace(text);
    const std::string_view s = text.substr(skip);
    // Accumulate what a float extraction takes: sign, digits, point, digits, exponent.
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    uint64_t mantissa = 0;  // meaningful while digitCount <= 15
    size_t digitCount = 0;
    auto digits = [&] {
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            mantissa = mantissa * 10 + static_cast<uint64_t>(s[i] - '0');
            ++digitCount;
            ++i;
        }
    };
    digits();
    size_t fractionDigits = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        const size_t before = digitCount;
        digits();
        fractionDigits = digitCount - before;
    }
    bool exponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        exponent = true;
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        digits();
    }
    const std::string_view taken = s.substr(0, i);
    if (!exponent && digitCount > 0 && digitCount <= 15 &&
        FastDecimalToFloat(negative, mantissa, static_cast<int>(fractionDigits), value)) {
        return skip + taken.size();
    }

    std::string_view number = taken;
    if (!number.empty() && number[0] == '+') {
        number.remove_prefix(1);
        if (!number.empty() && number[0] == '-') {
            value = 0;
            return 0;
        }
    }
    float parsed = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (number.empty() || end != number.data() + number.size()) {
        // Nothing, or an incomplete number such as "1e" or ".": the extraction fails.
        value = 0;
        return 0;
    }
    if (ec == std::errc::result_out_of_range) {
        const double wide = std::strtod(std::string(number).c_str(), nullptr);
        if (wide > std::numeric_limits<float>::max()) {
            value = std::numeric_limits<float>::max();
            return 0;
        }
        if (wide < std::numeric_limits<float>::lowest()) {
            value = std::numeric_limits<float>::lowest();
            return 0;
        }
        parsed = static_cast<float>(wide);  // an underflow reads as the nearest tiny value
    } else if (ec != std::errc()) {
        value = 0;
        return 0;
    }
    value = parsed;
    return skip + taken.size();
}

}  // namespace toravel
