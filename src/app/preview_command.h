// `toravel preview`: a picture of what an X file holds. An SMD reference (with its
// animations) is converted in memory exactly as `toravel convert` converts it, and the
// picture is drawn from that X document as the X reader reads it back.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/batch_convert.h"
#include "preview/preview_picture.h"

namespace toravel {

struct PreviewRequest {
    std::string input;                       // an X file or an SMD reference
    std::vector<AnimationInput> animations;  // added as convert adds them
    std::string output;                      // the PNG file
    PreviewSettings settings;
    bool textures = false;  // draw each material's texture file, found beside the input
    bool force = false;     // replace an existing output
    bool quiet = false;     // no summary line
};

// Messages go to `messages`; returns an ExitCode. Nothing is written unless the picture is
// complete, and never over one of the inputs.
int RunPreview(const PreviewRequest& request, std::ostream& messages);

}  // namespace toravel
