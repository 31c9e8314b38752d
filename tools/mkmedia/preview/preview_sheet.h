// Contact sheets: the pictures as written and the models from fixed cameras.
#pragma once

#include "scene_mockups.h"

#include <string>

namespace mkmedia {

// Decodes the named 24-bit BMP of the media catalog (so the sheet shows the file's bytes, not
// the painter's canvas); an empty image when it is missing.
RgbImage DecodeCatalogBmp(const std::string& name);
RgbImage PictureSheet(const ShowMedia& media);
// `src` stretched to w x h with bilinear filtering, as a quad of that size on screen shows it.
RgbImage Stretched(const RgbImage& src, int w, int h);
RgbImage ModelSheet(const ShowMedia& media);
// Five rows (the scenes), four moments each, at half size.
RgbImage FilmStrip(const ShowMedia& media);

// Writes `text` with the stroke font, `height` pixels from baseline to ascender.
void DrawLabel(RgbImage& image, double left, double baseline, double height, const char* text);

} // namespace mkmedia
