// The frame sink, and fitting a picture into an area with its aspect kept.
#include "platform/host/presentation.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace host {

namespace {

FrameSink& Sink() {
    static FrameSink sink;
    return sink;
}

} // namespace

void SetFrameSink(FrameSink sink) {
    Sink() = std::move(sink);
}

const FrameSink& GetFrameSink() {
    return Sink();
}

Letterbox FitWithAspect(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight) {
    Letterbox box;
    if (sourceWidth <= 0 || sourceHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) {
        return box;
    }
    // Compare the two aspects exactly, in integers: the wider side decides.
    if (int64_t{areaWidth} * sourceHeight <= int64_t{areaHeight} * sourceWidth) {
        box.width = areaWidth;
        box.height =
            static_cast<int>((int64_t{areaWidth} * sourceHeight + sourceWidth / 2) / sourceWidth);
    } else {
        box.height = areaHeight;
        box.width =
            static_cast<int>((int64_t{areaHeight} * sourceWidth + sourceHeight / 2) / sourceHeight);
    }
    box.width = std::clamp(box.width, 1, areaWidth);
    box.height = std::clamp(box.height, 1, areaHeight);
    box.x = (areaWidth - box.width) / 2;
    box.y = (areaHeight - box.height) / 2;
    return box;
}

} // namespace host
