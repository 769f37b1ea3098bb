// Choosing the keys of a contact sheet and laying its cells out, each with a label.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "preview/image.h"

namespace toravel {

// Frames from "0,10,20" (those keys) or "all-8" (eight evenly spaced keys from the first to
// the last; all of them when there are fewer), for a set of `keyCount` keys. Nothing, with
// the reason in `error`, for any other text or a frame past the last key.
std::optional<std::vector<size_t>> ParseFrames(std::string_view text, size_t keyCount,
                                               std::string& error);

// Writes `text` (ASCII) with its top left corner at (x, y), on a dark strip that keeps it
// readable over any picture; each font pixel is scale x scale.
void DrawLabel(Image& image, int x, int y, std::string_view text, int scale);

// The cells in rows, left to right, with a thin gap between them; every cell has the size
// of the first.
Image ContactSheet(const std::vector<Image>& cells);
// The columns ContactSheet uses for `count` cells.
int SheetColumns(size_t count);
inline constexpr int kSheetGap = 2;

}  // namespace toravel
