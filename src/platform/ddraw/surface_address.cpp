// Tokens standing for locked surface memory in the 32-bit address slot of DDSURFACEDESC2.
#include <vector>

#include "platform/ddraw/ddraw.h"

namespace {

// Slot i holds the address of token i + 1; free slots hold null. Locks are few and short, so a
// linear search for a free slot is enough.
std::vector<void*>& Slots() {
    static std::vector<void*> slots;
    return slots;
}

} // namespace

void* SurfaceAddress::Get() const {
    const auto& slots = Slots();
    if (token == 0 || token > slots.size()) {
        return nullptr;
    }
    return slots[token - 1];
}

DWORD RegisterSurfaceAddress(void* address) {
    auto& slots = Slots();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] == nullptr) {
            slots[i] = address;
            return static_cast<DWORD>(i + 1);
        }
    }
    slots.push_back(address);
    return static_cast<DWORD>(slots.size());
}

void ReleaseSurfaceAddress(DWORD token) {
    auto& slots = Slots();
    if (token != 0 && token <= slots.size()) {
        slots[token - 1] = nullptr;
    }
}
