// Where a picture goes when it is shown scaled with its aspect kept in a larger or smaller area:
// centred, as large as fits, the rest black.
#pragma once

namespace gl {

struct Letterbox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

Letterbox FitWithAspect(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight);

} // namespace gl
