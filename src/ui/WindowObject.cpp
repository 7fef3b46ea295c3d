#include "ui/WindowObject.h"

#include <unordered_map>

namespace ui {
namespace {

// Kept in the process rather than in window properties: every message of our windows looks its object
// up, and a property costs a round trip to the window server under Wine. Everything runs on the one
// user-interface thread.
std::unordered_map<HWND, WindowObject*>& Objects() {
    static std::unordered_map<HWND, WindowObject*> objects;
    return objects;
}

}  // namespace

void WindowObject::attach(HWND hwnd, WindowObject* object) noexcept {
    if (!hwnd) return;
    try {
        Objects()[hwnd] = object;
    } catch (...) {
        // Out of memory: the window works on without its object's handlers.
    }
}

void WindowObject::detach(HWND hwnd) noexcept {
    const auto found = hwnd ? Objects().find(hwnd) : Objects().end();
    if (found != Objects().end() && found->second == this) Objects().erase(found);
}

WindowObject* WindowObject::attached(HWND hwnd) noexcept {
    if (!hwnd) return nullptr;
    const auto found = Objects().find(hwnd);
    return found == Objects().end() ? nullptr : found->second;
}

}  // namespace ui
