// The status display: everything the tool knows, laid out as rows of coloured text. The
// platform layer draws the runs in order; computing them needs no window system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace toravel {

class Application;

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kLabelColour{128, 128, 128};
inline constexpr Colour kValueColour{0, 0, 0};
inline constexpr Colour kWarningColour{196, 64, 64};

struct TextRun {
    int x = 0;
    int y = 0;
    Colour colour;
    std::string text;
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

// The rows of the display: the status log's lines while it holds any, else the summary of
// the primaries and the loaded documents.
std::vector<TextRun> PaintStatus(const Application& app);

}  // namespace toravel
