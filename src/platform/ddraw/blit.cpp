// The blitter.
#include "platform/ddraw/blit.h"

#include <cstring>
#include <vector>

#include "platform/ddraw/palette.h"

namespace ddraw {

namespace {

enum class Conversion { COPY, PALETTE_TO_DIRECT, DIRECT_TO_DIRECT, UNSUPPORTED };

Conversion ChooseConversion(const Surface& destination, const Surface& source) {
    const PixelLayout& to = destination.Layout();
    const PixelLayout& from = source.Layout();
    if (from.depth || to.depth) {
        return SamePixelFormat(destination.Desc().ddpfPixelFormat, source.Desc().ddpfPixelFormat)
                   ? Conversion::COPY
                   : Conversion::UNSUPPORTED;
    }
    if (to.palettised) {
        return from.palettised ? Conversion::COPY : Conversion::UNSUPPORTED;
    }
    if (from.palettised) {
        return Conversion::PALETTE_TO_DIRECT;
    }
    if (SamePixelFormat(destination.Desc().ddpfPixelFormat, source.Desc().ddpfPixelFormat)) {
        return Conversion::COPY;
    }
    return Conversion::DIRECT_TO_DIRECT;
}

// Source column or row for a destination one: the source pixel under the destination pixel's
// centre, so that shrinking and growing both sample evenly.
LONG SourceIndex(LONG destination, LONG destinationSize, LONG sourceSize) {
    const int64_t scaled =
        (2 * int64_t{destination} + 1) * sourceSize / (2 * int64_t{destinationSize});
    return static_cast<LONG>(scaled);
}

} // namespace

bool RectInside(const RECT& rect, int width, int height) {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= width && rect.bottom <= height;
}

HRESULT BlitPixels(Surface& destination, const RECT& destinationRect, const Surface& source,
                   const RECT& sourceRect) {
    const Conversion conversion = ChooseConversion(destination, source);
    if (conversion == Conversion::UNSUPPORTED) {
        return DDERR_UNSUPPORTED;
    }
    const int fromBytes = source.Layout().bytesPerPixel;
    const int toBytes = destination.Layout().bytesPerPixel;
    const LONG sourceWidth = sourceRect.right - sourceRect.left;
    const LONG sourceHeight = sourceRect.bottom - sourceRect.top;
    const LONG width = destinationRect.right - destinationRect.left;
    const LONG height = destinationRect.bottom - destinationRect.top;

    // A blit within one surface reads from a copy, so that overlapping rectangles stay correct.
    const BYTE* sourcePixels = source.Pixels();
    LONG sourcePitch = source.Pitch();
    std::vector<BYTE> copy;
    if (&source == &destination) {
        copy.assign(source.Pixels(), source.Pixels() + size_t(source.Pitch()) * source.Height());
        sourcePixels = copy.data();
    }

    const Palette* palette = source.AttachedPalette();
    const PALETTEENTRY* entries = palette != nullptr ? palette->Entries() : nullptr;
    const bool paletteAlpha = palette != nullptr && palette->HasAlpha();

    for (LONG y = 0; y < height; ++y) {
        const LONG sy = sourceRect.top + SourceIndex(y, height, sourceHeight);
        const BYTE* sourceRow = sourcePixels + size_t(sy) * sourcePitch;
        BYTE* row = destination.Pixels() + size_t(destinationRect.top + y) * destination.Pitch();
        for (LONG x = 0; x < width; ++x) {
            const LONG sx = sourceRect.left + SourceIndex(x, width, sourceWidth);
            const BYTE* from = sourceRow + size_t(sx) * fromBytes;
            BYTE* to = row + size_t(destinationRect.left + x) * toBytes;
            switch (conversion) {
            case Conversion::COPY:
                std::memcpy(to, from, static_cast<size_t>(toBytes));
                break;
            case Conversion::PALETTE_TO_DIRECT:
            case Conversion::DIRECT_TO_DIRECT:
                WritePixel(destination.Layout(), to,
                           ReadPixel(source.Layout(), from, entries, paletteAlpha));
                break;
            case Conversion::UNSUPPORTED:
                break;
            }
        }
    }
    return DD_OK;
}

void FillPixels(Surface& destination, const RECT& rect, DWORD value) {
    const int bytes = destination.Layout().bytesPerPixel;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        BYTE* row = destination.Pixels() + size_t(y) * destination.Pitch();
        for (LONG x = rect.left; x < rect.right; ++x) {
            WriteRaw(row + size_t(x) * bytes, bytes, value);
        }
    }
}

} // namespace ddraw
