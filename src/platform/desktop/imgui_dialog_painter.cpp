// Sections: colours and primitives · text · controls (static, group box, push button, combo box
// and its dropped list) · the dialog.
#include "platform/desktop/imgui_dialog_painter.h"

#include <algorithm>
#include <cfloat>
#include <string>
#include <vector>

#include <imgui.h>

#include "platform/desktop/imgui_dialog_text.h"
#include "platform/win32/user.h"

namespace desktop {

namespace {

// ---- Colours and primitives --------------------------------------------------------------------
// The classic system colours: button face, 3D highlight, 3D light, 3D shadow, 3D dark shadow,
// window background, text, disabled text and the selection.
const ImU32 COLOUR_FACE = IM_COL32(192, 192, 192, 255);
const ImU32 COLOUR_HIGHLIGHT = IM_COL32(255, 255, 255, 255);
const ImU32 COLOUR_LIGHT = IM_COL32(223, 223, 223, 255);
const ImU32 COLOUR_SHADOW = IM_COL32(128, 128, 128, 255);
const ImU32 COLOUR_DARK = IM_COL32(0, 0, 0, 255);
const ImU32 COLOUR_WINDOW = IM_COL32(255, 255, 255, 255);
const ImU32 COLOUR_TEXT = IM_COL32(0, 0, 0, 255);
const ImU32 COLOUR_GREY_TEXT = IM_COL32(128, 128, 128, 255);
const ImU32 COLOUR_SELECTION = IM_COL32(0, 0, 128, 255);
const ImU32 COLOUR_SELECTION_TEXT = IM_COL32(255, 255, 255, 255);
const ImU32 COLOUR_SCROLL_TRACK = IM_COL32(224, 224, 224, 255);

// Group box captions start this far in from the box's left edge.
constexpr int GROUP_TEXT_INDENT = 8;
// Text inside a field or list row starts this far in.
constexpr int TEXT_PADDING = 2;
// The focus rectangle of a push button lies this far inside its outer edge.
constexpr int FOCUS_INSET = 4;

RECT Inset(const RECT& rect, int by) {
    return RECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

void OffsetRectBy(RECT& rect, LONG by) {
    rect.left += by;
    rect.right += by;
    rect.top += by;
    rect.bottom += by;
}

class Painter {
public:
    explicit Painter(const DialogCanvas& canvas) : canvas_(canvas) {}

    ImVec2 At(LONG x, LONG y) const {
        return ImVec2(static_cast<float>(canvas_.clientOrigin.x + x),
                      static_cast<float>(canvas_.clientOrigin.y + y));
    }

    // Pixels [left, right) x [top, bottom); anti-aliasing is off, so the edges are exact.
    void Fill(const RECT& rect, ImU32 colour) const {
        if (rect.right > rect.left && rect.bottom > rect.top) {
            canvas_.drawList->AddRectFilled(At(rect.left, rect.top), At(rect.right, rect.bottom),
                                            colour);
        }
    }

    // A 1-pixel frame just inside `rect`: top and left in one colour, bottom and right in another.
    void Edge(const RECT& rect, ImU32 topLeft, ImU32 bottomRight) const {
        Fill(RECT{rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
        Fill(RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
        Fill(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
        Fill(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    }

    void Frame(const RECT& rect, ImU32 colour) const { Edge(rect, colour, colour); }

    // Every other pixel, as the platform draws the keyboard focus.
    void DottedFrame(const RECT& rect, ImU32 colour) const {
        for (LONG x = rect.left; x < rect.right; x += 2) {
            Fill(RECT{x, rect.top, x + 1, rect.top + 1}, colour);
            Fill(RECT{x, rect.bottom - 1, x + 1, rect.bottom}, colour);
        }
        for (LONG y = rect.top; y < rect.bottom; y += 2) {
            Fill(RECT{rect.left, y, rect.left + 1, y + 1}, colour);
            Fill(RECT{rect.right - 1, y, rect.right, y + 1}, colour);
        }
    }

    // A raised face: the outer edge white and black, the inner one light and dark grey.
    void RaisedFace(const RECT& rect) const {
        Fill(rect, COLOUR_FACE);
        Edge(rect, COLOUR_HIGHLIGHT, COLOUR_DARK);
        Edge(Inset(rect, 1), COLOUR_LIGHT, COLOUR_SHADOW);
    }

    // A pushed face: one dark-grey frame.
    void PushedFace(const RECT& rect) const {
        Fill(rect, COLOUR_FACE);
        Frame(rect, COLOUR_SHADOW);
    }

    // A sunken field: the outer edge dark grey and white, the inner one black and light.
    void SunkenEdge(const RECT& rect) const {
        Edge(rect, COLOUR_SHADOW, COLOUR_HIGHLIGHT);
        Edge(Inset(rect, 1), COLOUR_DARK, COLOUR_LIGHT);
    }

    // A black triangle pointing down, `width` pixels at its top, centred on (x, y).
    void DownArrow(LONG centreX, LONG centreY, int width) const {
        const int rows = (width + 1) / 2;
        for (int row = 0; row < rows; ++row) {
            const LONG half = width / 2 - row;
            const LONG y = centreY - rows / 2 + row;
            Fill(RECT{centreX - half, y, centreX + half + 1, y + 1}, COLOUR_DARK);
        }
    }

    void UpArrow(LONG centreX, LONG centreY, int width) const {
        const int rows = (width + 1) / 2;
        for (int row = 0; row < rows; ++row) {
            const LONG half = width / 2 - (rows - 1 - row);
            const LONG y = centreY - rows / 2 + row;
            Fill(RECT{centreX - half, y, centreX + half + 1, y + 1}, COLOUR_DARK);
        }
    }

    // ---- Text ----------------------------------------------------------------------------------
    float TextWidth(const std::string& text) const {
        const std::string utf8 = DialogTextAsUtf8(text);
        return canvas_.font->CalcTextSizeA(canvas_.fontSize, FLT_MAX, 0.0f, utf8.c_str()).x;
    }

    // Where the font's text goes in a line box of the dialog font's height.
    LONG LineOffset() const {
        return std::max<LONG>(
            0, (dialogs::DIALOG_LINE_HEIGHT - static_cast<LONG>(canvas_.fontSize)) / 2);
    }

    // One line, clipped to `clip`, its line box starting at `top`.
    void Line(const std::string& text, LONG x, LONG top, ImU32 colour, const RECT& clip) const {
        const ImVec4 clipRect(At(clip.left, clip.top).x, At(clip.left, clip.top).y,
                              At(clip.right, clip.bottom).x, At(clip.right, clip.bottom).y);
        const std::string utf8 = DialogTextAsUtf8(text);
        canvas_.drawList->AddText(canvas_.font, canvas_.fontSize, At(x, top + LineOffset()), colour,
                                  utf8.c_str(), utf8.c_str() + utf8.size(), 0.0f, &clipRect);
    }

    // Left-aligned text wrapped at word boundaries to the width of `box` and clipped to it. Lines
    // are a dialog-font line apart; when that does not fit, they close up to the font's own line
    // height, so that a font wider than the template's still shows the whole text.
    void WrappedText(const std::string& text, const RECT& box, ImU32 colour) const {
        const std::vector<std::string> lines =
            WrapDialogText(canvas_.font, canvas_.fontSize, DialogTextAsUtf8(text),
                           static_cast<float>(box.right - box.left));
        const LONG count = static_cast<LONG>(lines.size());
        LONG step = dialogs::DIALOG_LINE_HEIGHT;
        if (count > 1 && count * step > box.bottom - box.top) {
            step =
                std::max<LONG>(static_cast<LONG>(canvas_.fontSize), (box.bottom - box.top) / count);
        }
        for (LONG i = 0; i < count; ++i) {
            Line(lines[static_cast<size_t>(i)], box.left, box.top + i * step, colour, box);
        }
    }

    // Disabled text is grey over a white copy one pixel down and right.
    void ControlText(const std::string& text, LONG x, LONG top, bool enabled,
                     const RECT& clip) const {
        if (!enabled) {
            Line(text, x + 1, top + 1, COLOUR_HIGHLIGHT, clip);
        }
        Line(text, x, top, enabled ? COLOUR_TEXT : COLOUR_GREY_TEXT, clip);
    }

private:
    const DialogCanvas& canvas_;
};

// ---- Controls ----------------------------------------------------------------------------------
void PaintStatic(const Painter& painter, const dialogs::ControlView& control) {
    if (!control.enabled) {
        RECT shadow = control.pixels;
        OffsetRectBy(shadow, 1);
        painter.WrappedText(control.text, shadow, COLOUR_HIGHLIGHT);
    }
    painter.WrappedText(control.text, control.pixels,
                        control.enabled ? COLOUR_TEXT : COLOUR_GREY_TEXT);
}

void PaintGroupBox(const Painter& painter, const dialogs::ControlView& control) {
    const RECT& box = control.pixels;
    // The frame runs through the middle of the caption's line; the caption interrupts it.
    const RECT frame{box.left, box.top + dialogs::DIALOG_LINE_HEIGHT / 2, box.right, box.bottom};
    painter.Edge(frame, COLOUR_SHADOW, COLOUR_HIGHLIGHT);
    painter.Edge(Inset(frame, 1), COLOUR_HIGHLIGHT, COLOUR_SHADOW);
    if (control.text.empty()) {
        return;
    }
    const LONG textLeft = box.left + GROUP_TEXT_INDENT;
    const LONG textRight =
        std::min<LONG>(box.right - GROUP_TEXT_INDENT,
                       textLeft + static_cast<LONG>(painter.TextWidth(control.text)));
    const RECT caption{textLeft, box.top, textRight, box.top + dialogs::DIALOG_LINE_HEIGHT};
    painter.Fill(caption, COLOUR_FACE);
    painter.ControlText(control.text, textLeft, box.top, control.enabled, caption);
}

void PaintPushButton(const Painter& painter, const dialogs::ControlView& control, bool focused,
                     bool pressed) {
    RECT face = control.pixels;
    // The default button (the one Enter presses) wears an extra black frame.
    if (control.isDefault) {
        painter.Frame(face, COLOUR_DARK);
        face = Inset(face, 1);
    }
    if (pressed) {
        painter.PushedFace(face);
    } else {
        painter.RaisedFace(face);
    }
    const LONG shift = pressed ? 1 : 0;
    const LONG textWidth = static_cast<LONG>(painter.TextWidth(control.text));
    const LONG x = (face.left + face.right - textWidth) / 2 + shift;
    const LONG top = (face.top + face.bottom - dialogs::DIALOG_LINE_HEIGHT) / 2 + shift;
    painter.ControlText(control.text, x, top, control.enabled, Inset(face, 2));
    if (focused) {
        painter.DottedFrame(Inset(control.pixels, FOCUS_INSET), COLOUR_DARK);
    }
}

void PaintDroppedList(const Painter& painter, const dialogs::ControlView& control,
                      const dialogs::ComboGeometry& geometry,
                      const dialogs::DialogInteraction& interaction) {
    painter.Fill(geometry.list, COLOUR_WINDOW);
    painter.Frame(geometry.list, COLOUR_DARK);
    const int first = interaction.FirstVisibleItem();
    const int count = static_cast<int>(control.items.size());
    for (int row = 0; row < geometry.rows && first + row < count; ++row) {
        const int item = first + row;
        const RECT rowRect = dialogs::ListRowRect(geometry, row);
        const bool highlighted = item == interaction.Highlight();
        if (highlighted) {
            painter.Fill(rowRect, COLOUR_SELECTION);
        }
        painter.Line(control.items[static_cast<size_t>(item)], rowRect.left + TEXT_PADDING,
                     rowRect.top, highlighted ? COLOUR_SELECTION_TEXT : COLOUR_TEXT, rowRect);
    }
    if (!geometry.scrolls) {
        return;
    }
    // The scroll bar: an arrow button at each end, the thumb where the top row lies.
    const RECT bar{geometry.list.right - dialogs::LIST_FRAME - dialogs::LIST_SCROLLBAR_WIDTH,
                   geometry.list.top + dialogs::LIST_FRAME,
                   geometry.list.right - dialogs::LIST_FRAME,
                   geometry.list.bottom - dialogs::LIST_FRAME};
    painter.Fill(bar, COLOUR_SCROLL_TRACK);
    const LONG arrowSize =
        std::min<LONG>(dialogs::LIST_SCROLLBAR_WIDTH, (bar.bottom - bar.top) / 2);
    const RECT up{bar.left, bar.top, bar.right, bar.top + arrowSize};
    const RECT down{bar.left, bar.bottom - arrowSize, bar.right, bar.bottom};
    painter.RaisedFace(up);
    painter.RaisedFace(down);
    painter.UpArrow((up.left + up.right) / 2, (up.top + up.bottom) / 2, 7);
    painter.DownArrow((down.left + down.right) / 2, (down.top + down.bottom) / 2, 7);
    const LONG track = down.top - up.bottom;
    if (track > 4 && count > 0) {
        const LONG thumb = std::max<LONG>(8, track * geometry.rows / count);
        const int lastTop = std::max(1, count - geometry.rows);
        const LONG offset = (track - thumb) * first / lastTop;
        painter.RaisedFace(
            RECT{bar.left, up.bottom + offset, bar.right, up.bottom + offset + thumb});
    }
}

void PaintComboBox(const Painter& painter, const dialogs::ControlView& control,
                   const dialogs::DialogInteraction& interaction) {
    const dialogs::ComboGeometry geometry = interaction.GeometryOf(control);
    const bool dropped = interaction.DroppedList() == control.handle;
    const bool focused = interaction.Focus() == control.handle;
    painter.Fill(geometry.field, control.enabled ? COLOUR_WINDOW : COLOUR_FACE);
    painter.SunkenEdge(geometry.field);

    if (control.selection >= 0 && static_cast<size_t>(control.selection) < control.items.size()) {
        const std::string& text = control.items[static_cast<size_t>(control.selection)];
        const RECT& area = geometry.text;
        const LONG top = (area.top + area.bottom - dialogs::DIALOG_LINE_HEIGHT) / 2;
        // The focused field shows its text selected, as an edit field that has the focus does.
        if (focused && !dropped && control.enabled) {
            const LONG width = static_cast<LONG>(painter.TextWidth(text));
            painter.Fill(
                RECT{area.left + 1, top,
                     std::min(area.right - 1, area.left + 1 + width + 2 * TEXT_PADDING - 2),
                     top + dialogs::DIALOG_LINE_HEIGHT},
                COLOUR_SELECTION);
            painter.Line(text, area.left + TEXT_PADDING, top, COLOUR_SELECTION_TEXT, area);
        } else {
            painter.ControlText(text, area.left + TEXT_PADDING, top, control.enabled, area);
        }
    }

    const RECT& button = geometry.button;
    const LONG shift = dropped ? 1 : 0;
    if (dropped) {
        painter.PushedFace(button);
    } else {
        painter.RaisedFace(button);
    }
    painter.DownArrow((button.left + button.right) / 2 + shift,
                      (button.top + button.bottom) / 2 + shift, 7);
}

// A sunken white square with a check mark, the text to its right.
void PaintCheckBox(const Painter& painter, const dialogs::ControlView& control, bool focused) {
    constexpr LONG BOX = 13;
    const RECT& area = control.pixels;
    const LONG top = (area.top + area.bottom - BOX) / 2;
    const RECT box{area.left, top, area.left + BOX, top + BOX};
    painter.Fill(box, control.enabled ? COLOUR_WINDOW : COLOUR_FACE);
    painter.SunkenEdge(box);
    if (control.checked) {
        // Three strokes, each three pixels tall: down to the right, then up to the right.
        const ImU32 ink = control.enabled ? COLOUR_DARK : COLOUR_SHADOW;
        const LONG baseX = box.left + 3, baseY = box.top + 5;
        for (LONG i = 0; i < 7; ++i) {
            const LONG y = baseY + (i < 3 ? i : 4 - (i - 2));
            painter.Fill(RECT{baseX + i, y, baseX + i + 1, y + 3}, ink);
        }
    }
    const LONG textLeft = box.right + 4;
    const LONG textTop = (area.top + area.bottom - dialogs::DIALOG_LINE_HEIGHT) / 2;
    const RECT clip{textLeft, area.top, area.right, area.bottom};
    painter.ControlText(control.text, textLeft, textTop, control.enabled, clip);
    if (focused) {
        const LONG width = static_cast<LONG>(painter.TextWidth(control.text));
        painter.DottedFrame(RECT{textLeft - 1, textTop, std::min(area.right, textLeft + width + 1),
                                 textTop + dialogs::DIALOG_LINE_HEIGHT},
                            COLOUR_DARK);
    }
}

} // namespace

// ---- The dialog --------------------------------------------------------------------------------
void PaintDialog(const dialogs::DialogInteraction& interaction, const DialogCanvas& canvas) {
    if (canvas.drawList == nullptr || canvas.font == nullptr) {
        return;
    }
    const Painter painter(canvas);
    const POINT origin = canvas.clientOrigin;
    const RECT window{-origin.x, -origin.y, canvas.windowSize.cx - origin.x,
                      canvas.windowSize.cy - origin.y};
    painter.Fill(window, COLOUR_FACE);
    if (canvas.border) {
        painter.Frame(window, COLOUR_DARK);
    }

    const dialogs::DialogView& view = interaction.View();
    const dialogs::ControlView* dropped = nullptr;
    for (const dialogs::ControlView& control : view.controls) {
        if ((control.style & WS_VISIBLE) == 0) {
            continue;
        }
        switch (control.kind) {
        case ControlKind::Static:
            PaintStatic(painter, control);
            break;
        case ControlKind::GroupBox:
            PaintGroupBox(painter, control);
            break;
        case ControlKind::PushButton:
            PaintPushButton(painter, control, interaction.Focus() == control.handle,
                            interaction.PressedButton() == control.handle);
            break;
        case ControlKind::ComboBox:
            PaintComboBox(painter, control, interaction);
            if (interaction.DroppedList() == control.handle) {
                dropped = &control;
            }
            break;
        case ControlKind::CheckBox:
            PaintCheckBox(painter, control, interaction.Focus() == control.handle);
            break;
        default:
            break; // classes the dialog core does not know are not drawn
        }
    }
    // The dropped list lies over everything else.
    if (dropped != nullptr) {
        PaintDroppedList(painter, *dropped, interaction.GeometryOf(*dropped), interaction);
    }
}

} // namespace desktop
