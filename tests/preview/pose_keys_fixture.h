// An X file of two frames, Arm and Hand, with Arm animated by the keys a test gives.
#pragma once

#include <string>

namespace toravel::testing {

// Arm stands at x 5 with a scale of 2; Hand is 2 along the arm's x and holds one triangle.
// Only Arm is animated, by the keys given, all at time 10.
inline std::string ArmAndHand(const std::string& keys) {
    return R"(xof 0303txt 0032
Frame Scene_Root {
 Frame Arm {
  FrameTransformMatrix { 2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 5.0,0.0,0.0,1.0;; }
  Frame Hand {
   FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 2.0,0.0,0.0,1.0;; }
   Mesh { 3; 0.0;1.0;0.0;, 0.0;0.0;1.0;, 1.0;0.0;0.0;; 1; 3;0,1,2;; }
  }
 }
}
AnimationSet Move {
 Animation {
  { Arm }
)" + keys + R"(
 }
}
)";
}

inline const std::string kQuarterTurnAboutZ =
    "AnimationKey { 0; 1; 10;4;0.70710678,0.0,0.0,0.70710678;;; }";
inline const std::string kThirdTurnAboutDiagonal = "AnimationKey { 0; 1; 10;4;0.5,0.5,0.5,0.5;;; }";
inline const std::string kScaleThree = "AnimationKey { 1; 1; 10;3;3.0,3.0,3.0;;; }";
inline const std::string kMoveTo123 = "AnimationKey { 2; 1; 10;3;1.0,2.0,3.0;;; }";

}  // namespace toravel::testing
