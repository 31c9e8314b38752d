// A capture whose frames are not the picture's size (--size that is no display mode): the 4:3
// picture, drawn at the internal resolution that fills the largest 4:3 area of the frame, goes
// in the middle of it and the rest is black, as a player shows it on a wide screen. A picture
// larger than that area (the program draws nothing smaller than its display mode) is averaged
// down to it; a smaller one is never scaled up, only centred.
#pragma once

#include <cstdint>

#include "frame_queue.h"
#include "platform/host/presentation.h"

namespace capture {

// Where a pictureWidth x pictureHeight picture goes in a frameWidth x frameHeight frame.
host::Letterbox PictureArea(int pictureWidth, int pictureHeight, int frameWidth, int frameHeight);

// Fills `frame` (its width and height already set) with the picture (RGBA, rows `pitch` bytes
// apart) at its area, and black elsewhere; alpha is 255 throughout.
void PutPictureInFrame(const uint8_t* rgba, int width, int height, int pitch, Frame* frame);

} // namespace capture
