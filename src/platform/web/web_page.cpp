// The page calls, in the page script's own terms.
#include "platform/web/web_page.h"

#include <emscripten.h>

namespace web {

namespace {

// clang-format off
EM_ASYNC_JS(void, JsWaitForAnimationFrame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});

EM_ASYNC_JS(void, JsWaitForInput, (int milliseconds), {
    await LumenfallPage.waitForInput(milliseconds);
});

EM_JS(void, JsSetPageState, (const char* state), {
    LumenfallPage.setState(UTF8ToString(state));
});

EM_JS(void, JsWriteToConsole, (const char* text), {
    console.info(UTF8ToString(text).trimEnd());
});

EM_ASYNC_JS(void, JsShowBox, (const char* caption, const char* text), {
    await LumenfallPage.showBox(UTF8ToString(caption), UTF8ToString(text));
});

EM_JS(void, JsOpenDialog, (const char* description), {
    LumenfallPage.openDialog(JSON.parse(UTF8ToString(description)));
});

EM_JS(void, JsUpdateDialog, (const char* description), {
    LumenfallPage.updateDialog(JSON.parse(UTF8ToString(description)));
});

EM_JS(void, JsCloseDialog, (), {
    LumenfallPage.closeDialog();
});

// Answers the action's kind; its control and item go to `out` (two ints).
EM_JS(int, JsTakeDialogAction, (int* out), {
    const action = LumenfallPage.takeDialogAction();
    if (!action) return 0;
    HEAP32[out >> 2] = action.control || 0;
    HEAP32[(out >> 2) + 1] = action.item === undefined ? -1 : action.item;
    return {select: 1, click: 2, enter: 3, escape: 4}[action.kind] || 0;
});
// clang-format on

} // namespace

void WaitForAnimationFrame() {
    JsWaitForAnimationFrame();
}

void WaitForInput(int milliseconds) {
    JsWaitForInput(milliseconds);
}

void SetPageState(const char* state) {
    JsSetPageState(state);
}

void WriteToConsole(const char* text) {
    JsWriteToConsole(text);
}

void ShowPageBox(const std::string& caption, const std::string& text) {
    JsShowBox(caption.c_str(), text.c_str());
}

void OpenPageDialog(const std::string& description) {
    JsOpenDialog(description.c_str());
}

void UpdatePageDialog(const std::string& description) {
    JsUpdateDialog(description.c_str());
}

void ClosePageDialog() {
    JsCloseDialog();
}

DialogAction TakeDialogAction() {
    int out[2] = {0, -1};
    DialogAction action;
    switch (JsTakeDialogAction(out)) {
    case 1:
        action.kind = DialogActionKind::SELECT;
        break;
    case 2:
        action.kind = DialogActionKind::CLICK;
        break;
    case 3:
        action.kind = DialogActionKind::ENTER;
        break;
    case 4:
        action.kind = DialogActionKind::ESCAPE;
        break;
    default:
        return action;
    }
    action.control = out[0];
    action.item = out[1];
    return action;
}

} // namespace web
