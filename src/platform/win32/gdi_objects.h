// GDI's objects behind their handles: DIB sections and device contexts.
//
// A handle is the object's address, but every call checks it against the table of live objects
// first, so a stale or foreign handle fails the call instead of being followed.
#pragma once

#include "platform/win32/bmp_decoder.h"
#include "platform/win32/gdi_surface_dc.h"

struct GdiDevice;

struct GdiBitmap {
    DecodedBitmap image;
    GdiDevice* selectedInto = nullptr; // a bitmap is in at most one memory context at a time
    bool stock = false;                // the 1 x 1 bitmap a new memory context starts with
};

struct GdiDevice {
    enum class Kind { MEMORY, SURFACE };
    Kind kind = Kind::MEMORY;
    GdiBitmap* bitmap = nullptr; // MEMORY: the selected bitmap (the stock one at first)
    PixelView view;              // SURFACE: the pixels drawn into
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
    int backgroundMode = OPAQUE;
};

// Null when the handle is not a live object of that kind.
GdiBitmap* FindGdiBitmap(HGDIOBJ handle);
GdiDevice* FindGdiDevice(HDC handle);

// Takes ownership of the decoded image and answers its handle.
HBITMAP RegisterGdiBitmap(DecodedBitmap image);
HDC RegisterGdiDevice(GdiDevice device);
