// Menu command ids, shared by every front end.
#pragma once

namespace toravel {

enum CommandId : int {
    kCmdAbout = 104,
    kCmdExit = 105,
    kCmdLoadSmdReference = 32771,
    kCmdSetPrimaryNodesSmd = 32772,
    kCmdLoadSmdAnimation = 32773,
    kCmdSetPrimaryAnimSetsSmd = 32774,
    kCmdAddSmdAnimation = 32775,
    kCmdExportNonAnimated = 32776,
    kCmdExportAnimated = 32777,
    kCmdLoadXFile = 32778,
    kCmdSetPrimaryNodesX = 32779,
    kCmdAddXAnimations = 32781,
    kCmdSetPrimaryAnimSetsX = 32782,
    kCmdLoadStaticMesh = 32783,
    kCmdExportStaticMesh = 32784,
};

}  // namespace toravel
