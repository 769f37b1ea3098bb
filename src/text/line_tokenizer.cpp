#include "text/line_tokenizer.h"

namespace toravel {

namespace {

bool IsBrace(char c) {
    return c == '{' || c == '}';
}

}  // namespace

void LineTokenizer::Reset(Braces braces) {
    braces_ = braces;
    token_ = {};
    line_ = {};
    readPos_ = 0;
    rememberedPos_ = TextInput::kNoPosition;
}

std::string_view LineTokenizer::NextToken(TextInput& input) {
    for (;;) {
        if (rememberedPos_ == TextInput::kNoPosition || input.tell() != rememberedPos_) {
            std::string_view line;
            if (!input.ReadLine(line) || !input.good()) {
                return {};
            }
            line_ = line;
            readPos_ = 0;
            rememberedPos_ = input.tell();
        }
        const auto length = static_cast<int32_t>(line_.size());
        if (readPos_ >= length) {
            rememberedPos_ = TextInput::kNoPosition;
            continue;
        }
        if (!input.good()) {
            return {};
        }
        while (readPos_ < length && IsBlank(line_[static_cast<size_t>(readPos_)])) {
            ++readPos_;
        }
        if (readPos_ >= length) {
            continue;
        }
        const size_t start = static_cast<size_t>(readPos_);
        if (line_[start] == '#' ||
            (line_[start] == '/' && start + 1 < line_.size() && line_[start + 1] == '/')) {
            rememberedPos_ = TextInput::kNoPosition;
            continue;
        }
        size_t end = start + 1;
        if (braces_ == Braces::kInToken || !IsBrace(line_[start])) {
            while (end < line_.size() && !IsBlank(line_[end]) &&
                   (braces_ == Braces::kInToken || !IsBrace(line_[end]))) {
                ++end;
            }
        }
        readPos_ = static_cast<int32_t>(end);
        token_ = line_.substr(start, end - start);
        return token_;
    }
}

std::string_view LineTokenizer::TakeLineFromToken() {
    std::string_view rest;
    if (!token_.empty() && token_.data() >= line_.data() &&
        token_.data() <= line_.data() + line_.size()) {
        rest = line_.substr(static_cast<size_t>(token_.data() - line_.data()));
    }
    readPos_ = static_cast<int32_t>(line_.size());
    return rest;
}

}  // namespace toravel
