// Module resources. The program registers its own (icon, accelerator table, dialog template)
// before its entry point runs; lookups of anything else find nothing, as a missing resource does.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/user.h"

struct IconResource {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels; // 0xAARRGGBB, row 0 at the top
};

struct DialogControlTemplate {
    int id = 0;           // -1 for controls nobody asks for
    std::string className; // "button", "combobox", "static"
    DWORD style = 0;       // beyond WS_CHILD | WS_VISIBLE
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::string text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::string caption;
    std::string fontName;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    int charset = 0;
    std::vector<DialogControlTemplate> controls;
};

void RegisterIconResource(int id, IconResource icon);
void RegisterAcceleratorResource(int id, std::vector<ACCEL> table);
void RegisterDialogResource(int id, DialogTemplate dialog);

// Lookups by integer id (MAKEINTRESOURCEA) or by name; null when absent.
const IconResource* FindIconResource(LPCSTR name);
const std::vector<ACCEL>* FindAcceleratorResource(LPCSTR name);
const DialogTemplate* FindDialogResource(LPCSTR name);
