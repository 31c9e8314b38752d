// The show's pictures, each painted by its own file. All are light on black: the show adds them
// to a dark blue picture, so black adds nothing.
#pragma once

#include "image.h"

#include <vector>

namespace mkmedia {

// "title.bmp": the production's name, shown over 300 x 100 units as two copies sliding together.
RgbImage PaintTitle();
// "nosound.bmp": a one-line caption under the title, shown over 300 x 20 units.
RgbImage PaintCaption();
// "misc.bmp": its top 11 % is a band that tiles left to right (scrolled across the screen), the
// part from 20 % down a soft backdrop for the whole screen (920 x 500 units).
RgbImage PaintMisc();
// "file.bmp": a pattern that tiles in both directions, repeated on large turning planes.
RgbImage PaintFile();
// "the_end.bmp": "the end" over its upper 80 % (260 x 135 units), credits in its lower 20 %
// (260 x 37 units).
RgbImage PaintTheEnd();
// "gleam.tga": the texture named by object.1's material; alpha is written to `alpha`.
RgbImage PaintGleam(std::vector<double>* alpha);

} // namespace mkmedia
