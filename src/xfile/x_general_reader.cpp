// The entry of the general X reader: the header, inflation of the compressed encodings, the
// parse with the lexer of the encoding, the assembly of the frames, and the one message of
// a failure.

#include "xfile/x_general_reader.h"

#include "scene/node_ops.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "xfile/x_general_assembly.h"
#include "xfile/x_general_parsed.h"
#include "xfile/x_general_parser.h"
#include "xfile/x_lexer.h"
#include "xfile/x_mszip.h"
#include "xfile/x_token.h"

namespace toravel {

namespace {

constexpr size_t kHeaderSize = 16;

bool IsDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The header as messages show it: printable characters, the rest as '?'.
std::string Shown(std::string_view bytes) {
    std::string shown(bytes.substr(0, kHeaderSize));
    for (char& c : shown) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return shown;
}

// Reads the 16-byte header; returns the message when it is not one.
std::string ReadHeader(std::string_view bytes, XFileFormat& format) {
    const std::string expected =
        "expected an X file header such as 'xof 0303txt 0032' (format txt, bin, tzip or bzip; "
        "float size 0032 or 0064), found '" +
        Shown(bytes) + "'";
    if (bytes.size() < kHeaderSize || bytes.substr(0, 4) != "xof " ||
        !IsDigits(bytes.substr(4, 4))) {
        return expected;
    }
    const std::string_view kind = bytes.substr(8, 4);
    const std::string_view floats = bytes.substr(12, 4);
    if (kind == "txt ") {
        format.encoding = XEncoding::kText;
    } else if (kind == "bin ") {
        format.encoding = XEncoding::kBinary;
    } else if (kind == "tzip") {
        format.encoding = XEncoding::kCompressedText;
    } else if (kind == "bzip") {
        format.encoding = XEncoding::kCompressedBinary;
    } else {
        return expected;
    }
    if (floats == "0032") {
        format.floatBits = 32;
    } else if (floats == "0064") {
        format.floatBits = 64;
    } else {
        return expected;
    }
    format.version = bytes.substr(4, 4);
    return {};
}

// A message as one line of text: control characters that names or damaged data bring in
// show as '?'.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if ((c >= 0 && c < ' ') || c == '\x7F') {
            c = '?';
        }
    }
    return text;
}

XLexer MakeLexer(std::string_view data, const XFileFormat& format) {
    const bool compressed = format.encoding == XEncoding::kCompressedText ||
                            format.encoding == XEncoding::kCompressedBinary;
    if (format.encoding == XEncoding::kText || format.encoding == XEncoding::kCompressedText) {
        return XLexer(XTextLexer(data, kHeaderSize, compressed ? " of the inflated text" : ""));
    }
    return XLexer(XBinaryLexer(data, kHeaderSize, format.floatBits == 64,
                               compressed ? " of the inflated data" : ""));
}

XGeneralResult Read(std::string_view bytes, std::string_view name) {
    XGeneralResult result;
    const std::string file(name);
    // A byte order mark before the header, as some text editors write it.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    XFileFormat format;
    if (std::string problem = ReadHeader(bytes, format); !problem.empty()) {
        result.error = file + ": " + problem;
        result.failure = XGeneralNote{{}, problem};
        return result;
    }
    std::string inflated;
    std::string_view data = bytes;
    if (format.encoding == XEncoding::kCompressedText ||
        format.encoding == XEncoding::kCompressedBinary) {
        std::vector<std::string> notes;
        std::string problem;
        try {
            problem = InflateXMsZip(bytes, inflated, notes);
        } catch (const std::bad_alloc&) {
            problem = "not enough memory to inflate the compressed data";
        }
        for (const std::string& note : notes) {
            result.warnings.push_back(file + ": " + note);
            result.notes.push_back({{}, note});
        }
        if (!problem.empty()) {
            result.error = file + ": " + problem;
            result.failure = XGeneralNote{{}, problem};
            return result;
        }
        data = inflated;
    }

    XLexer lexer = MakeLexer(data, format);
    XParsedFile parsed;
    try {
        XGeneralParser(lexer, parsed).ParseFile();
        XGeneralContent content;
        content.format = format;
        content.frames = AssembleXFrames(parsed, XCopyBudget(data.size()));
        // Scene_Root is level 1: below it, frames may nest as deep as any reader accepts, so
        // that what loads is also written and read back.
        if (FindNodeDeeperThan(content.frames, kMaxHierarchyDepth + 1) != kNoNode) {
            const std::string problem = "frames nested more than " +
                                        std::to_string(kMaxHierarchyDepth) +
                                        " levels below Scene_Root";
            result.error = file + ": " + problem;
            result.failure = XGeneralNote{{}, problem};
            return result;
        }
        content.animSets = std::move(parsed.animSets);
        content.ticksPerSecond = parsed.ticksPerSecond;
        std::vector<size_t> firsts;
        for (const XParsedSkip& skip : parsed.skipped) {
            firsts.push_back(skip.firstPosition);
        }
        const std::vector<std::string> places = lexer.WhereAll(firsts);
        for (size_t i = 0; i < parsed.skipped.size(); ++i) {
            const XParsedSkip& skip = parsed.skipped[i];
            content.skipped.push_back({skip.kind, skip.count, places[i]});
        }
        result.content = std::move(content);
    } catch (const XReadFailure& failure) {
        const std::string place = lexer.Where(failure.position);
        result.error = file + ", " + place + ": " + failure.message;
        result.failure = XGeneralNote{place, failure.message};
    } catch (const std::bad_alloc&) {
        result.error = file + ": not enough memory to read the file";
        result.failure = XGeneralNote{{}, "not enough memory to read the file"};
    }
    std::vector<size_t> positions;
    for (const XParsedWarning& warning : parsed.warnings) {
        positions.push_back(warning.position);
    }
    const std::vector<std::string> places = lexer.WhereAll(positions);
    for (size_t i = 0; i < parsed.warnings.size(); ++i) {
        result.warnings.push_back(file + ", " + places[i] + ": " + parsed.warnings[i].text);
        result.notes.push_back({places[i], parsed.warnings[i].text});
    }
    if (parsed.droppedWarnings > 0) {
        const std::string more = std::to_string(parsed.droppedWarnings) + " more warnings";
        result.warnings.push_back(file + ": " + more);
        result.notes.push_back({{}, more});
    }
    return result;
}

}  // namespace

XGeneralResult ReadXGeneral(std::string_view bytes, std::string_view name) {
    XGeneralResult result = Read(bytes, name);
    result.error = OneLine(std::move(result.error));
    for (std::string& warning : result.warnings) {
        warning = OneLine(std::move(warning));
    }
    if (result.failure) {
        result.failure->text = OneLine(std::move(result.failure->text));
    }
    for (XGeneralNote& note : result.notes) {
        note.text = OneLine(std::move(note.text));
    }
    return result;
}

}  // namespace toravel
