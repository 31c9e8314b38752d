// The frame sink, placing a picture in an area, and the size of the 3D targets.
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

Letterbox PlacePicture(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight,
                       Scaling scaling) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) {
        return Letterbox{};
    }
    switch (scaling) {
    case Scaling::STRETCH:
        return Letterbox{0, 0, areaWidth, areaHeight};
    case Scaling::INTEGER: {
        const int times = std::min(areaWidth / sourceWidth, areaHeight / sourceHeight);
        if (times < 1) {
            break; // smaller than the picture: only fitting shows all of it
        }
        Letterbox box{0, 0, sourceWidth * times, sourceHeight * times};
        box.x = (areaWidth - box.width) / 2;
        box.y = (areaHeight - box.height) / 2;
        return box;
    }
    case Scaling::FIT:
        break;
    }
    return FitWithAspect(sourceWidth, sourceHeight, areaWidth, areaHeight);
}

Letterbox PlaceFrame(const PresentedFrame& frame, int areaWidth, int areaHeight) {
    const int modeWidth = frame.modeWidth > 0 ? frame.modeWidth : frame.width;
    const int modeHeight = frame.modeHeight > 0 ? frame.modeHeight : frame.height;
    return PlacePicture(modeWidth, modeHeight, areaWidth, areaHeight,
                        GetPresentationOptions().scaling);
}

TargetSize InternalTargetSize(const PresentationOptions& options, int modeWidth, int modeHeight,
                              int areaWidth, int areaHeight) {
    if (!options.internal.native) {
        const int scale = std::clamp(options.internal.scale, 1, MAX_INTERNAL_SCALE);
        return TargetSize{modeWidth * scale, modeHeight * scale};
    }
    if (areaWidth <= 0 || areaHeight <= 0) {
        areaWidth = options.nativeAreaWidth;
        areaHeight = options.nativeAreaHeight;
    }
    const Letterbox box =
        PlacePicture(modeWidth, modeHeight, areaWidth, areaHeight, options.scaling);
    return TargetSize{std::max(box.width, modeWidth), std::max(box.height, modeHeight)};
}

} // namespace host
