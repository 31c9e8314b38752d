// Draws a running dialog with Dear ImGui's draw lists in the look of the platform's classic
// dialogs: grey 3D faces with white and dark-grey bevels, black text, a sunken white field for a
// combo box, a navy highlight, a thin black border around a WS_BORDER dialog.
//
// Only drawing: where things are comes from dialog_layout.h, what is focused, dropped or pressed
// from the DialogInteraction. ImGui's own widgets are not used, so nothing here takes input.
#pragma once

#include "platform/win32/dialog_interaction.h"

struct ImDrawList;
struct ImFont;

namespace desktop {

struct DialogCanvas {
    ImDrawList* drawList = nullptr;
    ImFont* font = nullptr;
    float fontSize = 13.0f; // pixels
    POINT clientOrigin{};   // where the client area starts in the window (inside the border)
    SIZE windowSize{};      // the whole window, border included
    bool border = true;     // WS_BORDER: a 1-pixel black frame
};

void PaintDialog(const dialogs::DialogInteraction& interaction, const DialogCanvas& canvas);

} // namespace desktop
