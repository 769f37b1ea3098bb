#include "xfile/x_text_lexer.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace toravel {

namespace {

constexpr size_t kShownTokenLength = 40;

// A class id between angle brackets: hexadecimal digits and dashes.
bool IsGuidText(std::string_view text) {
    return !text.empty() &&
           text.find_first_not_of("0123456789abcdefABCDEF- \t") == std::string_view::npos;
}

}  // namespace

XToken XTextLexer::Next() {
    SkipFill();
    XToken token;
    token.position = pos_;
    const size_t size = data_.size();
    if (pos_ >= size) {
        return token;
    }
    const char c = data_[pos_];
    switch (c) {
        case '{':
            token.kind = XTokenKind::kOpenBrace;
            token.text = data_.substr(pos_++, 1);
            return token;
        case '}':
            token.kind = XTokenKind::kCloseBrace;
            token.text = data_.substr(pos_++, 1);
            return token;
        case '"': {
            const size_t close = data_.find('"', pos_ + 1);
            if (close == std::string_view::npos) {
                throw XReadFailure{pos_, "a string that is not closed before the end of the data"};
            }
            token.kind = XTokenKind::kString;
            token.text = data_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            return token;
        }
        case '<': {
            // A class id is short; looking no further keeps stray brackets cheap.
            const size_t close = data_.substr(0, pos_ + 64).find('>', pos_ + 1);
            if (close != std::string_view::npos &&
                IsGuidText(data_.substr(pos_ + 1, close - pos_ - 1))) {
                token.kind = XTokenKind::kGuid;
                token.text = data_.substr(pos_, close + 1 - pos_);
                pos_ = close + 1;
                return token;
            }
            token.kind = XTokenKind::kOther;
            token.text = data_.substr(pos_++, 1);
            return token;
        }
        default:
            break;
    }
    if (xtext::ClassOf(c) == xtext::kDelimiter) {
        token.kind = XTokenKind::kOther;
        token.text = data_.substr(pos_++, 1);
        return token;
    }
    const size_t start = pos_;
    while (pos_ < size) {
        const uint8_t cls = xtext::ClassOf(data_[pos_]);
        if (cls != xtext::kRun && cls != xtext::kCommentMark) {
            break;
        }
        ++pos_;
    }
    token.text = data_.substr(start, pos_ - start);
    token.kind = token.text == "template" ? XTokenKind::kTemplate : XTokenKind::kName;
    return token;
}

size_t XTextLexer::ReadNonFinite(size_t start, size_t end, float& value) const {
    size_t i = end + 1;
    const size_t wordStart = i;
    while (i < data_.size() && data_[i] >= 'A' && data_[i] <= 'Z') {
        ++i;
    }
    const std::string_view word = data_.substr(wordStart, i - wordStart);
    while (i < data_.size() && data_[i] >= '0' && data_[i] <= '9') {
        ++i;
    }
    const bool negative = data_[start] == '-';
    if (word == "QNAN" || word == "SNAN" || word == "IND") {
        value = std::numeric_limits<float>::quiet_NaN();
    } else if (word == "INF") {
        value = negative ? -std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::infinity();
    } else {
        return 0;
    }
    return i;
}

std::vector<std::string> XTextLexer::WhereAll(const std::vector<size_t>& positions) const {
    // One pass over the data for all of them, in the order of their positions.
    std::vector<size_t> order(positions.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return positions[a] < positions[b]; });
    std::vector<std::string> places(positions.size());
    size_t counted = 0, lines = 0;
    for (size_t i : order) {
        const size_t end = std::min(positions[i], data_.size());
        lines += static_cast<size_t>(std::count(data_.begin() + static_cast<ptrdiff_t>(counted),
                                                data_.begin() + static_cast<ptrdiff_t>(end), '\n'));
        counted = end;
        places[i] = "line " + std::to_string(lines + 1) + std::string(placeSuffix_);
    }
    return places;
}

std::string XTextLexer::Where(size_t position) const {
    const size_t end = std::min(position, data_.size());
    const auto lines = std::count(data_.begin(), data_.begin() + static_cast<ptrdiff_t>(end), '\n');
    return "line " + std::to_string(lines + 1) + std::string(placeSuffix_);
}

std::string XTextLexer::Describe(const XToken& token) const {
    if (token.kind == XTokenKind::kEnd) {
        return "the end of the data";
    }
    std::string_view text = token.text;
    const bool cut = text.size() > kShownTokenLength;
    if (cut) {
        text = text.substr(0, kShownTokenLength);
    }
    const std::string shown = std::string(text) + (cut ? "..." : "");
    if (token.kind == XTokenKind::kString) {
        return "the string \"" + shown + "\"";
    }
    return "'" + shown + "'";
}

}  // namespace toravel
