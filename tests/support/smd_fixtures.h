// Small SMD files shared by the application tests: a two-bone reference whose one triangle
// the arm owns, and a two-frame animation of the same bones.
#pragma once

namespace toravel::testing {

constexpr const char* kReference = R"(version 1
nodes
0 "root" -1
1 "arm" 0
end
skeleton
time 0
0 0 0 0 0 0 0
1 0 0 5 0 0 0
end
triangles
skin.bmp
1 0 0 0 0 0 1 0 0 1 0 1
1 1 0 0 0 0 1 1 0 1 1 1
1 0 1 0 0 0 1 0 1 1 0 1
end
)";

constexpr const char* kAnimation = R"(version 1
nodes
0 "root" -1
1 "arm" 0
end
skeleton
time 0
0 0 0 0 0 0 0
1 0 0 5 0 0 0
time 1
0 0 0 0 0 0 0
1 0 0 5 0.5 0 0
end
)";

}  // namespace toravel::testing
