// Dialog texts for Dear ImGui: the platform's text as UTF-8, and word wrapping as a static text
// control wraps.
#pragma once

#include <string>
#include <vector>

struct ImFont;

namespace desktop {

// ImGui reads UTF-8. Texts that are not valid UTF-8 are taken as single-byte Latin-1 text, the
// platform's own, and converted.
std::string DialogTextAsUtf8(const std::string& text);

// The lines of a UTF-8 text drawn with `font` at `pixels` and wrapped to `width`: lines break at
// spaces (the space is dropped) and at explicit line breaks; a word wider than `width` is broken
// between characters. An empty text is one empty line.
std::vector<std::string> WrapDialogText(const ImFont* font, float pixels, const std::string& utf8,
                                        float width);

} // namespace desktop
