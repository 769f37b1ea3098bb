#include "app/status_display.h"

#include "app/application.h"

namespace toravel {

namespace {

constexpr int kFirstRow = 5;
constexpr int kRowPitch = 18;
constexpr int kLabelX = 5;
constexpr int kValueX = 15;

class Rows {
  public:
    void Label(std::string text) { Add(kLabelX, kLabelColour, std::move(text)); }
    void Value(std::string text, Colour colour = kValueColour) {
        Add(kValueX, colour, std::move(text));
    }
    void Gap() { y_ += kRowPitch; }
    // Takes back the growth after the last run, for rows that share the next line.
    void StayOnRow() { y_ -= kRowPitch; }
    std::vector<TextRun> Take() { return std::move(runs_); }

  private:
    void Add(int x, Colour colour, std::string text) {
        runs_.push_back({x, y_, colour, std::move(text)});
        y_ += kRowPitch;
    }
    int y_ = kFirstRow;
    std::vector<TextRun> runs_;
};

std::string SetName(const AnimSet& set) {
    return set.name.empty() ? "(unnamed)" : set.name;
}

void SetNames(Rows& rows, const std::vector<AnimSet>& sets) {
    if (sets.empty()) {
        rows.Value("(no sets loaded)");
        return;
    }
    for (const AnimSet& set : sets) {
        rows.Value(SetName(set));
    }
}

}  // namespace

std::vector<TextRun> PaintStatus(const Application& app) {
    Rows rows;
    const std::vector<std::string>& log = app.statusLog().Lines();
    if (!log.empty()) {
        for (const std::string& line : log) {
            rows.Label(line);
        }
        return rows.Take();
    }

    const Workspace& ws = app.workspace;
    rows.Label("Primary Reference Nodes:");
    rows.Value(ws.primarySource.empty() ? "(not set)" : ws.primarySource);
    rows.Label("Primary Animation Sets:");
    if (ws.primaryAnimSets.empty()) {
        rows.Value("(no sets loaded)");
    }
    for (size_t i = 0; i < ws.primaryAnimSets.size(); ++i) {
        const bool compatible = i < ws.compatibility.size() && ws.compatibility[i];
        rows.Value(SetName(ws.primaryAnimSets[i]) +
                   (compatible ? " - compatible" : " - NOT COMPATIBLE"));
    }
    rows.Gap();

    rows.Label("Save status:");
    if (ws.primariesSaved) {
        rows.Value("Current primaries were exported to " + ws.exportedName);
    } else if (ws.primaryNodes.empty()) {
        rows.Value("---");
    } else {
        rows.Value("Current primaries have NOT been exported!", kWarningColour);
    }
    rows.Gap();

    rows.Label("SMD Reference Nodes:");
    rows.Value(app.smdReference.loaded ? app.smdReference.fileName : "(not loaded)");
    rows.Label("SMD Animation Sets:");
    SetNames(rows, app.smdAnimation.animSets);
    rows.Gap();

    rows.Label("X File:");
    rows.Value(app.xFile.loaded ? app.xFile.fileName : "(not loaded)");
    rows.Label("X File Animation Sets:");
    SetNames(rows, app.xFile.animSets);
    rows.Gap();

    rows.Label("SMD Static Mesh:");
    if (app.staticMesh.loaded) {
        rows.Value(app.staticMesh.filePath);
        rows.Label("Number of Attribute Groups: ");
        rows.Value(std::to_string(app.staticMesh.attributeGroupCount));
    } else {
        rows.Value("(not loaded)");
    }
    rows.StayOnRow();
    if (app.staticMesh.exported) {
        rows.Gap();
        rows.Label("Exported to: ");
        rows.Value(app.staticMesh.exportPath);
    }
    return rows.Take();
}

}  // namespace toravel
