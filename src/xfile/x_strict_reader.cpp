#include "xfile/x_strict_reader.h"

#include <memory>
#include <utility>

#include "scene/names.h"
#include "xfile/x_reader.h"

namespace toravel {

XStrictReader::XStrictReader(TextInput& input, XModel& model, ReadReport& report, XReadHooks hooks)
    : input_(input), report_(report), hooks_(std::move(hooks)) {
    reader_ = std::make_unique<XReader>(model, input, report, hooks_);
}

XStrictReader::~XStrictReader() = default;

bool XStrictReader::Finish(bool ok) {
    if (!ok) {
        // Some steps end without a message of their own (the input ends inside a mesh).
        if (report_.ok()) {
            report_.FailSilently("The file ends inside a mesh.");
        }
        report_.SetPosition({input_.StopLine(), std::nullopt});
        if (input_.lineTooLong()) {
            report_.SetHint(LineTooLongHint(input_.StopLine()));
        }
    }
    return ok;
}

bool XStrictReader::ReadFrames() {
    return Finish(reader_->ReadXHeader() && reader_->ReadRootFrame() &&
                  LinkParents(reader_->model().frames, report_));
}

bool XStrictReader::ReadSets() {
    if (!Finish(reader_->ReadAfterFrames())) {
        return false;
    }
    // Names are written back as read, so each must be one that reads back as one name.
    XModel& model = reader_->model();
    if (const std::optional<NameCollision> collision =
            FixModelNames(model.frames, model.animSets)) {
        report_.Warn(CollisionNotice(*collision), kCollisionTitle);
    }
    return true;
}

XReadResult ReadXFile(std::string_view bytes, XReadHooks hooks) {
    XReadResult result;
    TextInput input = TextInput::View(bytes);
    XStrictReader reader(input, result.model, result.report, std::move(hooks));
    if (reader.ReadFrames()) {
        reader.ReadSets();
    }
    return result;
}

}  // namespace toravel
