// Messages and value checks shared by every X reading step.

#include <cstdint>
#include <string>
#include <string_view>

#include "xfile/x_reader.h"

namespace toravel {

namespace {

// "Negative " and `what` with its "%d" replaced by the number as written.
std::string NegativeCountText(std::string_view what, std::string_view number) {
    std::string text = "Negative " + std::string(what);
    const size_t at = text.find("%d");
    if (at != std::string::npos) {
        text.replace(at, 2, number);
    }
    return text;
}

}  // namespace

bool XReader::OpenBlock(std::string_view keyword, std::string_view expected) {
    std::string_view token = NextToken();
    if (token != keyword) {
        return ReportExpected(expected, token);
    }
    token = NextToken();
    return token == "{" || ReportExpectedOpen(token);
}

bool XReader::CloseBlock() {
    const std::string_view token = NextToken();
    return token == "}" || ReportExpectedClose(token);
}

bool XReader::ReportUnexpectedEnd(std::string_view place) {
    return Fail("Unexpected end-of-file in " + std::string(place));
}

bool XReader::ReportExpectedOpen(std::string_view found) {
    return Fail("Expected open bracket '{'. Found '" + std::string(found) + "'");
}

bool XReader::ReportExpectedClose(std::string_view found) {
    return Fail("Expected close bracket '}'. Found '" + std::string(found) + "'");
}

bool XReader::ReportExpected(std::string_view expected, std::string_view found) {
    return Fail("Expected '" + std::string(expected) + "'. Found '" + std::string(found) + "'");
}

bool XReader::ExpectWord(std::string_view word, std::string_view expected) {
    std::string_view found;
    input_.ReadWord(found);
    return found == word || ReportExpected(expected, found);
}

bool XReader::ExpectListWord(int64_t i, int64_t n, std::string_view lastExpected,
                             std::string_view otherExpected) {
    return i + 1 == n ? ExpectWord(";", lastExpected) : ExpectWord(",", otherExpected);
}

bool XReader::ReadCount(int32_t& count, std::string_view what) {
    count = 0;
    input_.ReadInt(count);
    if (count < 0) {
        return Fail(NegativeCountText(what, std::to_string(count)));
    }
    return true;
}

bool XReader::ReadUnsignedCount(uint32_t& count, std::string_view what) {
    count = 0;
    const size_t at = input_.tell();
    if (at != TextInput::kNoPosition) {
        // An unsigned extraction would read "-3" as 4294967293; look at the sign first.
        std::string_view rest = input_.text().substr(at);
        size_t i = 0;
        while (i < rest.size() && IsWhiteSpace(rest[i])) {
            ++i;
        }
        size_t end = i;
        if (end < rest.size() && rest[end] == '-') {
            ++end;
            while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9') {
                ++end;
            }
            const std::string_view number = rest.substr(i, end - i);
            if (number.find_first_not_of("-0") != std::string_view::npos) {
                return Fail(NegativeCountText(what, number));
            }
        }
    }
    input_.ReadUnsigned(count);
    return true;
}

}  // namespace toravel
