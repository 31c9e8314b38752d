#include "resources/program_resources.h"

#include "platform/win32/resources.h"

namespace {

constexpr WORD CMD_EXIT_COMMAND = 40006;
constexpr WORD CMD_TOGGLE_STATS_COMMAND = 40007;
constexpr int IDC_DEVICE_COMBO = 1000;
constexpr int IDC_NONE = -1;

// Escape exits; F shows or hides the frame rate.
std::vector<ACCEL> ProgramAccelerators() {
    return {ACCEL{static_cast<BYTE>(FVIRTKEY | FNOINVERT), VK_ESCAPE, CMD_EXIT_COMMAND},
            ACCEL{static_cast<BYTE>(FVIRTKEY | FNOINVERT), 'F', CMD_TOGGLE_STATS_COMMAND}};
}

// The start-up dialog: the credits and the list of 3D devices.
DialogTemplate DeviceDialogTemplate() {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_BORDER | DS_SETFONT | DS_CENTER; // 0x80800840
    dialog.exStyle = WS_EX_TOOLWINDOW;
    dialog.x = 0;
    dialog.y = 0;
    dialog.cx = 182;
    dialog.cy = 86;
    dialog.caption = "";
    dialog.fontName = "MS Sans Serif";
    dialog.pointSize = 8;
    dialog.weight = 0;
    dialog.italic = false;
    dialog.charset = 1;
    dialog.controls = {
        {IDOK, "button", BS_DEFPUSHBUTTON, 128, 62, 50, 15, "c o n t i n u e"},
        {IDC_DEVICE_COMBO, "combobox", CBS_DROPDOWN | WS_VSCROLL, 15, 65, 99, 47, ""},
        {IDC_NONE, "button", BS_GROUPBOX, 3, 55, 121, 27, " Select your favorite 3D device: "},
        {IDC_NONE, "static", SS_LEFT | WS_GROUP, 8, 2, 159, 8, "' lumenfall ' by tamsivor."},
        {IDC_NONE, "static", SS_LEFT | WS_GROUP, 8, 17, 159, 8,
         "released at northmoot-demoparty (harlund, oskaria)."},
        {IDC_NONE, "static", SS_LEFT | WS_GROUP, 8, 32, 159, 21,
         "note: there's nothing wrong if you don't hear anything... there is no music in this "
         "party version!"},
    };
    return dialog;
}

} // namespace

void RegisterProgramResources() {
    RegisterIconResource(IDI_PROGRAM_ICON, MakeProgramIcon());
    RegisterAcceleratorResource(IDR_PROGRAM_ACCELERATORS, ProgramAccelerators());
    RegisterDialogResource(IDD_DEVICE_DIALOG, DeviceDialogTemplate());
}
