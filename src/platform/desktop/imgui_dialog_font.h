// The font a dialog's texts are drawn with.
//
// The template asks for 8-point MS Sans Serif, a narrow font: its texts were laid out for it and
// barely fit their boxes. The nearest fonts most Linux systems carry are plain sans serifs, a
// little wider; so the first of them found is loaded at the largest size (11 or 10 pixels) at
// which every text of the dialog still fits its box as laid out (the same number of lines in a
// static text, one line in a button or group box caption). Without any of them ImGui's own font
// (13 pixels, fixed width) stands in; it is wider still, and long texts close up their lines.
#pragma once

#include <vector>

#include "platform/win32/dialog_controls.h"

struct ImFont;
struct ImFontAtlas;

namespace desktop {

struct DialogFont {
    ImFont* font = nullptr;
    float pixels = 13.0f;
};

class DialogFontLoader {
public:
    // Adds the chosen font to `atlas` and builds it. The font file's bytes live in this object:
    // it must outlive the atlas.
    DialogFont Load(ImFontAtlas* atlas, const dialogs::DialogView& view);

private:
    std::vector<unsigned char> bytes_;
};

// Whether every text of the dialog fits its box with this font at this size.
bool DialogTextsFit(const ImFont* font, float pixels, const dialogs::DialogView& view);

// The whole font file, or nothing when it cannot be read, is larger than any font we want or is
// no TrueType or OpenType font.
std::vector<unsigned char> ReadFontFile(const char* path);

} // namespace desktop
