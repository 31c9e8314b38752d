// The blitter: rectangle copies between surfaces with nearest-neighbour stretching and pixel
// format conversion (direct colour to direct colour by masks, palette indices to direct colour
// through the source's palette, equal formats copied as they are), and colour fills.
#pragma once

#include "platform/ddraw/surface.h"

namespace ddraw {

// Both rectangles must lie inside their surfaces and be non-empty. The source may be the
// destination itself. Answers DDERR_UNSUPPORTED for conversions the platform does not do
// (direct colour into palette indices, z-buffers into colour).
HRESULT BlitPixels(Surface& destination, const RECT& destinationRect, const Surface& source,
                   const RECT& sourceRect);

// Fills the rectangle with a raw pixel value (in the destination's own format).
void FillPixels(Surface& destination, const RECT& rect, DWORD value);

// True when the rectangle is non-empty and inside a width x height surface.
bool RectInside(const RECT& rect, int width, int height);

} // namespace ddraw
