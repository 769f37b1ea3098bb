#include "app/application.h"

#include <gtest/gtest.h>

#include "support/scripted_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

// "Save It Now?" answered Yes exports the old primaries before the new nodes replace them:
// animated when there are primary sets.
TEST(Application, SaveItNowExportsTheOldPrimariesFirst) {
    TempDir dir;
    ScriptedInteraction ui;
    Application app(ui);
    ASSERT_TRUE(app.LoadSmdReferenceFile({kExamples + "/soldier_reference.smd", "ref.smd"}));
    app.SetPrimaryNodesToSmdReference();
    ui.ExpectAnimSetName("walk");
    ASSERT_TRUE(app.LoadSmdAnimationFile({kExamples + "/soldier_walk.smd", "walk.smd"}));
    app.AddSmdAnimation();
    ASSERT_EQ(app.workspace.primaryAnimSets.size(), 1u);

    ui.ExpectYesNo("The current primary node set will be cleared.\nContinue?",
                   "Clear Current Data?", true, true)
        .ExpectYesNo("The current primary data has not been written to an X file.\nSave It Now?",
                     "Output Current Data?", true, true)
        .ExpectSaveFile(dir.File("saved.x"));
    app.SetPrimaryNodesToSmdReference();
    ui.ExpectDone();

    const std::string saved = TempDir::Read(dir.File("saved.x"));
    EXPECT_NE(saved.find("AnimationSet walk {"), std::string::npos);
    // The nodes were replaced after the export, so the new primaries are not exported.
    EXPECT_FALSE(app.workspace.primariesSaved);
    EXPECT_EQ(app.workspace.exportedName, "saved.x");
    EXPECT_EQ(app.workspace.compatibility, std::vector<bool>{true});
}

}  // namespace
}  // namespace toravel
