// Frames of the show's five scenes drawn with the software rasteriser, so the media can be judged
// where they are used: the same placements, greys, turns and additive blending on the dark blue
// clear colour, then the letterbox. Times are each scene's own local time in seconds.
#pragma once

#include "image.h"
#include "show_model.h"

namespace mkmedia {

struct ShowMedia {
    RgbImage title, caption, misc, file, theEnd;
    std::vector<ShowMesh> orrery, spark, blade;
};

// The light the previews assume for the show's light 0, as the program sets it up: white,
// travelling along (-0.3, -1, 0.4), down from the viewer's upper right.
Vec3 PreviewLightDirection();

RgbImage RenderTitleScene(const ShowMedia& media, double t);
RgbImage RenderSwarmScene(const ShowMedia& media, double t);
RgbImage RenderPlaneScene(const ShowMedia& media, double t);
RgbImage RenderRosetteScene(const ShowMedia& media, double t);
RgbImage RenderFinaleScene(const ShowMedia& media, double t);

} // namespace mkmedia
