#include "platform/desktop/imgui_dialog_text.h"

#include <algorithm>
#include <cfloat>

#include <imgui.h>

namespace desktop {

namespace {

// Bytes in the UTF-8 sequence that `lead` starts; 0 when it starts none.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead >> 5) == 0x6) {
        return 2;
    }
    if ((lead >> 4) == 0xE) {
        return 3;
    }
    if ((lead >> 3) == 0x1E) {
        return 4;
    }
    return 0;
}

bool IsValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

} // namespace

std::string DialogTextAsUtf8(const std::string& text) {
    if (IsValidUtf8(text)) {
        return text;
    }
    std::string converted;
    converted.reserve(text.size() * 2);
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            converted += c;
        } else {
            converted += static_cast<char>(0xC0 | (byte >> 6));
            converted += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return converted;
}

std::vector<std::string> WrapDialogText(const ImFont* font, float pixels, const std::string& utf8,
                                        float width) {
    std::vector<std::string> lines;
    if (font == nullptr) {
        return lines;
    }
    auto fits = [&](const std::string& text) {
        return font->CalcTextSizeA(pixels, FLT_MAX, 0.0f, text.c_str(), text.c_str() + text.size())
                   .x <= width;
    };
    size_t paragraphStart = 0;
    while (paragraphStart <= utf8.size()) {
        size_t paragraphEnd = utf8.find('\n', paragraphStart);
        if (paragraphEnd == std::string::npos) {
            paragraphEnd = utf8.size();
        }
        // Lines break at spaces only ("anything..." stays whole), as the platform's static text
        // does; a word wider than a whole line is broken between characters.
        std::string line;
        size_t at = paragraphStart;
        while (at <= paragraphEnd) {
            size_t wordEnd = utf8.find(' ', at);
            if (wordEnd == std::string::npos || wordEnd > paragraphEnd) {
                wordEnd = paragraphEnd;
            }
            std::string word = utf8.substr(at, wordEnd - at);
            at = wordEnd + 1;
            const std::string joined = line.empty() ? word : line + " " + word;
            if (line.empty() || fits(joined)) {
                line = joined;
            } else {
                lines.push_back(line);
                line = word;
            }
            while (!fits(line)) {
                size_t cut = 0;
                for (size_t next = 0; next < line.size();) {
                    next +=
                        std::max<size_t>(1, SequenceLength(static_cast<unsigned char>(line[next])));
                    if (cut > 0 && !fits(line.substr(0, next))) {
                        break;
                    }
                    cut = std::min(next, line.size());
                }
                if (cut >= line.size()) {
                    break; // a single character wider than the line: it stands alone
                }
                lines.push_back(line.substr(0, cut));
                line.erase(0, cut);
            }
        }
        lines.push_back(line);
        paragraphStart = paragraphEnd + 1;
    }
    return lines;
}

} // namespace desktop
