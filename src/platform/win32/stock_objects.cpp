// Stock GDI objects (GetStockObject): fixed handles that nobody owns and nobody deletes.
#include "platform/win32/gdi.h"

namespace {

// The platform numbers its stock objects from 0 (WHITE_BRUSH) to 19; each gets one fixed address.
constexpr int STOCK_OBJECT_COUNT = 20;
char stockObjects[STOCK_OBJECT_COUNT];

} // namespace

HGDIOBJ GetStockObject(int object) {
    if (object < 0 || object >= STOCK_OBJECT_COUNT) {
        return nullptr;
    }
    return reinterpret_cast<HGDIOBJ>(&stockObjects[object]);
}
