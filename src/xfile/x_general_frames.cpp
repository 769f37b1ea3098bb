// The top level of X data and the frame hierarchy, with the helpers every object reader
// shares: opening, skipping and closing objects, references, values and messages.

#include <cctype>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xfile/x_general_parser.h"
#include "xfile/x_general_words.h"

namespace toravel {

namespace {

// A class id written without angle brackets, as some writers do in references.
bool IsBareGuid(std::string_view text) {
    if (text.size() != 36) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

void XGeneralParser::ParseFile() {
    // The frames opened and not yet closed, innermost last.
    std::vector<int32_t> open;
    for (;;) {
        const XToken token = lex_.Next();
        const int32_t frame = open.empty() ? -1 : open.back();
        Object inFrame;
        if (frame >= 0) {
            const XParsedFrame& f = out_.frames[static_cast<size_t>(frame)];
            inFrame = {"Frame", f.name, f.position};
        }
        switch (token.kind) {
            case XTokenKind::kEnd:
                if (frame >= 0) {
                    Fail(token.position, "expected '}' to close " + Describe(inFrame) +
                                             " (opened at " + lex_.Where(inFrame.position) +
                                             "), found the end of the data");
                }
                return;
            case XTokenKind::kCloseBrace:
                if (frame < 0) {
                    Fail(token.position, "a '}' at the top level that closes nothing");
                }
                open.pop_back();
                Leave();
                continue;
            case XTokenKind::kOpenBrace: {
                const std::string_view name = ReadReference(inFrame);
                if (frame >= 0 && !name.empty()) {
                    out_.frames[static_cast<size_t>(frame)].meshes.push_back(
                        {-1, std::string(name), token.position});
                } else {
                    Note(frame >= 0 ? "reference by class id" : "reference at the top level",
                         token.position);
                }
                continue;
            }
            case XTokenKind::kTemplate:
                if (frame >= 0) {
                    FailFound(&inFrame, "a data object or '}'", token);
                }
                SkipTemplate();
                continue;
            case XTokenKind::kName:
                if (IsIdentifier(token)) {
                    break;
                }
                [[fallthrough]];
            default:
                FailFound(frame >= 0 ? &inFrame : nullptr,
                          frame >= 0 ? "a data object or '}'" : "a template or data object", token);
        }
        const Object object = OpenObject(token);
        const XObjectKind kind = XObjectKindOf(object.identifier);
        if (kind == XObjectKind::kFrame) {
            Enter(object);
            const auto index = static_cast<int32_t>(out_.frames.size());
            XParsedFrame added;
            added.name = object.name;
            added.position = object.position;
            added.parent = frame;
            out_.frames.push_back(std::move(added));
            if (frame >= 0) {
                out_.frames[static_cast<size_t>(frame)].children.push_back(index);
            } else {
                out_.topLevel.push_back({false, index});
            }
            if (!object.name.empty()) {
                out_.otherNames.emplace(object.name);
            }
            open.push_back(index);
            continue;
        }
        if (frame >= 0) {
            if (kind == XObjectKind::kFrameTransformMatrix) {
                ReadFrameTransformMatrix(object, out_.frames[static_cast<size_t>(frame)]);
            } else if (kind == XObjectKind::kMesh) {
                const int32_t mesh = ReadMesh(object);
                out_.frames[static_cast<size_t>(frame)].meshes.push_back({mesh, {}, 0});
            } else {
                SkipUnknown(object);
            }
            continue;
        }
        switch (kind) {
            case XObjectKind::kMesh:
                out_.topLevel.push_back({true, ReadMesh(object)});
                break;
            case XObjectKind::kMaterial:
                ReadTopLevelMaterial(object);
                break;
            case XObjectKind::kAnimationSet:
                ReadAnimationSet(object);
                break;
            case XObjectKind::kAnimation:
                if (looseSet_ < 0) {
                    looseSet_ = static_cast<int32_t>(out_.animSets.size());
                    out_.animSets.emplace_back();
                }
                ReadAnimation(object, out_.animSets[static_cast<size_t>(looseSet_)]);
                break;
            case XObjectKind::kAnimTicksPerSecond:
                ReadAnimTicksPerSecond(object);
                break;
            case XObjectKind::kHeader:
                Enter(object);
                SkipObject(object);
                Leave();
                break;
            default:
                SkipUnknown(object);
        }
    }
}

XGeneralParser::Object XGeneralParser::OpenObject(const XToken& identifier) {
    Object object{identifier.text, {}, identifier.position};
    XToken token = lex_.Next();
    if (token.kind == XTokenKind::kName || token.kind == XTokenKind::kString) {
        object.name = token.text;
        token = lex_.Next();
    }
    if (token.kind == XTokenKind::kGuid) {
        token = lex_.Next();
    }
    if (token.kind != XTokenKind::kOpenBrace) {
        Fail(token.position,
             "expected '{' to open " + Describe(object) + ", found " + lex_.Describe(token));
    }
    if (lex_.Peek().kind == XTokenKind::kGuid) {
        lex_.Next();
    }
    return object;
}

void XGeneralParser::SkipTemplate() {
    const XToken name = lex_.Next();
    if (name.kind != XTokenKind::kName) {
        Fail(name.position, "expected the name of a template, found " + lex_.Describe(name));
    }
    const Object object{"template", name.text, name.position};
    const XToken open = lex_.Next();
    if (open.kind != XTokenKind::kOpenBrace) {
        Fail(open.position,
             "expected '{' to open " + Describe(object) + ", found " + lex_.Describe(open));
    }
    Enter(object);
    SkipObject(object);
    Leave();
}

void XGeneralParser::SkipObject(const Object& object) {
    size_t level = 1;
    for (;;) {
        const XToken token = lex_.Next();
        switch (token.kind) {
            case XTokenKind::kOpenBrace:
                ++level;
                if (depth_ + level > kMaxXGeneralNesting + 1) {
                    Fail(token.position, "data objects nested more than " +
                                             std::to_string(kMaxXGeneralNesting) + " levels deep");
                }
                break;
            case XTokenKind::kCloseBrace:
                if (--level == 0) {
                    return;
                }
                break;
            case XTokenKind::kEnd:
                Fail(token.position, "expected '}' to close " + Describe(object) + " (opened at " +
                                         lex_.Where(object.position) +
                                         "), found the end of the data");
            default:
                break;
        }
    }
}

void XGeneralParser::SkipUnknown(const Object& object, std::string_view kind) {
    Note(kind.empty() ? object.identifier : kind, object.position);
    if (!object.name.empty()) {
        out_.otherNames.emplace(object.name);
    }
    Enter(object);
    SkipObject(object);
    Leave();
}

void XGeneralParser::CloseObject(const Object& object) {
    for (;;) {
        const XToken token = lex_.Next();
        if (token.kind == XTokenKind::kCloseBrace) {
            return;
        }
        if (IsIdentifier(token)) {
            SkipUnknown(OpenObject(token));
        } else if (token.kind == XTokenKind::kOpenBrace) {
            ReadReference(object);
            Note("reference in " + std::string(object.identifier), token.position);
        } else {
            Fail(token.position,
                 "expected '}' to close " + Describe(object) + ", found " + lex_.Describe(token));
        }
    }
}

std::string_view XGeneralParser::ReadReference(const Object& in) {
    std::string_view name;
    XToken token = lex_.Next();
    if (token.kind == XTokenKind::kName || token.kind == XTokenKind::kString) {
        name = token.text;
        token = lex_.Next();
        if (token.kind == XTokenKind::kName && IsBareGuid(token.text)) {
            token = lex_.Next();
        }
    }
    if (token.kind == XTokenKind::kGuid) {
        token = lex_.Next();
    }
    if (token.kind != XTokenKind::kCloseBrace) {
        const std::string where = in.identifier.empty() ? "" : " in " + Describe(in);
        Fail(token.position,
             "expected '}' to close a reference" + where + ", found " + lex_.Describe(token));
    }
    // A class id alone names nothing the reader can resolve.
    return IsBareGuid(name) ? std::string_view() : name;
}

void XGeneralParser::ReadFrameTransformMatrix(const Object& object, XParsedFrame& frame) {
    Enter(object);
    Matrix matrix;
    ReadMatrix(matrix, object, "a matrix entry");
    CloseObject(object);
    Leave();
    if (frame.hasMatrix) {
        Warn(object.position, "a second FrameTransformMatrix in frame '" + frame.name +
                                  "' is left out; the first one is used");
        return;
    }
    frame.matrix = matrix;
    frame.hasMatrix = true;
}

void XGeneralParser::ReadMatrix(Matrix& matrix, const Object& in, const char* what) {
    for (float& entry : matrix.m) {
        entry = Float(in, what);
    }
}

std::string_view XGeneralParser::String(const Object& in, const char* what) {
    const XToken token = lex_.Next();
    if (token.kind != XTokenKind::kString && token.kind != XTokenKind::kName) {
        Fail(token.position, "expected " + std::string(what) + " in " + Describe(in) + ", found " +
                                 lex_.Describe(token));
    }
    return token.text;
}

void XGeneralParser::Fail(size_t position, std::string text) {
    throw XReadFailure{position, std::move(text)};
}

void XGeneralParser::FailExpected(const Object* in, std::string_view what) {
    FailFound(in, what, lex_.Peek());
}

void XGeneralParser::FailFound(const Object* in, std::string_view what, const XToken& found) {
    std::string text = "expected " + std::string(what);
    if (in != nullptr && !in->identifier.empty()) {
        text += " in " + Describe(*in);
    }
    Fail(found.position, text + ", found " + lex_.Describe(found));
}

void XGeneralParser::Note(std::string_view kind, size_t position) {
    NoteSkipped(out_, kind, position);
}

void XGeneralParser::Warn(size_t position, std::string text) {
    AddWarning(out_, position, std::move(text));
}

std::string XGeneralParser::Describe(const Object& object) {
    std::string text(object.identifier);
    if (!object.name.empty()) {
        text += " '" + std::string(object.name) + "'";
    }
    return text;
}

void XGeneralParser::Enter(const Object& object) {
    if (++depth_ > kMaxXGeneralNesting) {
        Fail(object.position, "data objects nested more than " +
                                  std::to_string(kMaxXGeneralNesting) + " levels deep");
    }
}

}  // namespace toravel
