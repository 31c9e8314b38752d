#include "platform/desktop/imgui_dialog_font.h"

#include <cfloat>
#include <cstdio>
#include <cstring>
#include <iterator>

#include <imgui.h>

#include "platform/desktop/imgui_dialog_text.h"
#include "platform/win32/dialog_layout.h"

namespace desktop {

namespace {

const char* const SANS_FONT_FILES[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu-sans-fonts/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/liberation-sans/LiberationSans-Regular.ttf",
};
// Largest first.
constexpr float SANS_FONT_PIXELS[] = {11.0f, 10.0f};
constexpr float BUILT_IN_FONT_PIXELS = 13.0f;
constexpr long MAX_FONT_FILE_BYTES = 16L << 20;
// Room a caption needs beside its text: a button's bevels, a group box's indents.
constexpr float BUTTON_TEXT_MARGIN = 6.0f;
constexpr float GROUP_TEXT_MARGIN = 16.0f;

float Width(const RECT& rect) {
    return static_cast<float>(rect.right - rect.left);
}

} // namespace

std::vector<unsigned char> ReadFontFile(const char* path) {
    std::vector<unsigned char> bytes;
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        return bytes;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    // The smallest font has at least its 12-byte table directory.
    if (size >= 12 && size <= MAX_FONT_FILE_BYTES && std::fseek(file, 0, SEEK_SET) == 0) {
        bytes.resize(static_cast<size_t>(size));
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            bytes.clear();
        }
    }
    std::fclose(file);
    static const unsigned char TRUETYPE_VERSION[4] = {0, 1, 0, 0};
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), TRUETYPE_VERSION, 4) != 0 &&
        std::memcmp(bytes.data(), "true", 4) != 0 && std::memcmp(bytes.data(), "OTTO", 4) != 0) {
        bytes.clear();
    }
    return bytes;
}

bool DialogTextsFit(const ImFont* font, float pixels, const dialogs::DialogView& view) {
    if (font == nullptr) {
        return false;
    }
    for (const dialogs::ControlView& control : view.controls) {
        const std::string text = DialogTextAsUtf8(control.text);
        const float width =
            font->CalcTextSizeA(pixels, FLT_MAX, 0.0f, text.c_str(), text.c_str() + text.size()).x;
        switch (control.kind) {
        case ControlKind::Static: {
            const size_t lines = WrapDialogText(font, pixels, text, Width(control.pixels)).size();
            const LONG height = control.pixels.bottom - control.pixels.top;
            // A box shorter than a line still shows one.
            if (lines > 1 && static_cast<LONG>(lines) * dialogs::DIALOG_LINE_HEIGHT > height) {
                return false;
            }
            break;
        }
        case ControlKind::PushButton:
            if (width > Width(control.pixels) - BUTTON_TEXT_MARGIN) {
                return false;
            }
            break;
        case ControlKind::GroupBox:
            if (width > Width(control.pixels) - GROUP_TEXT_MARGIN) {
                return false;
            }
            break;
        default:
            break; // list items are clipped to their box, as the platform's are
        }
    }
    return true;
}

DialogFont DialogFontLoader::Load(ImFontAtlas* atlas, const dialogs::DialogView& view) {
    DialogFont chosen;
    for (const char* path : SANS_FONT_FILES) {
        bytes_ = ReadFontFile(path);
        if (bytes_.empty()) {
            continue;
        }
        ImFont* sizes[std::size(SANS_FONT_PIXELS)] = {};
        for (size_t i = 0; i < std::size(SANS_FONT_PIXELS); ++i) {
            ImFontConfig config;
            config.FontDataOwnedByAtlas = false; // the bytes stay ours
            // Whole pixels only: crisp under a renderer that samples the nearest texel.
            config.OversampleH = 1;
            config.OversampleV = 1;
            config.PixelSnapH = true;
            sizes[i] = atlas->AddFontFromMemoryTTF(bytes_.data(), static_cast<int>(bytes_.size()),
                                                   SANS_FONT_PIXELS[i], &config);
        }
        if (!atlas->Build()) {
            atlas->Clear();
            continue; // the file is no font stb_truetype can read
        }
        // The largest size at which everything fits, else the smallest.
        for (size_t i = 0; i < std::size(SANS_FONT_PIXELS); ++i) {
            if (sizes[i] == nullptr) {
                continue;
            }
            chosen = DialogFont{sizes[i], SANS_FONT_PIXELS[i]};
            if (DialogTextsFit(chosen.font, chosen.pixels, view)) {
                break;
            }
        }
        if (chosen.font != nullptr) {
            return chosen;
        }
        atlas->Clear();
    }
    bytes_.clear();
    chosen.font = atlas->AddFontDefault();
    chosen.pixels = BUILT_IN_FONT_PIXELS;
    atlas->Build();
    return chosen;
}

} // namespace desktop
