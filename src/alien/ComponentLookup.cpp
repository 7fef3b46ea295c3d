#include "alien/ComponentLookup.h"

#include "alien/AlienAccess.h"
#include "alien/AlienPlatformWin.h"
#include "base/WindowHandleValue.h"
#include "components/GkGeneral.h"

TComponentLookup::TComponentLookup() = default;
TComponentLookup::~TComponentLookup() = default;

void TComponentLookup::Reset() { DropApplication(); }

void TComponentLookup::DropApplication() {
    current_ = nullptr;
    application_.reset();
}

TAlienControl* TComponentLookup::Find(HWND window, std::optional<POINT> screen_point) {
    if (!WindowResponds(window)) return nullptr;
    const std::uint32_t handle = HandleValue(window);
    if (application_ && application_->Window() != handle) DropApplication();
    try {
        if (!application_) application_ = std::make_unique<TAlienApplication>(Win32AlienPlatform(), handle);
        std::optional<TAlienPoint> client_point;
        if (screen_point) {
            POINT point = *screen_point;
            ::ScreenToClient(window, &point);
            client_point = TAlienPoint{point.x, point.y};
        }
        return FindComponent(*application_, handle, client_point);
    } catch (...) {
        // A window without the library, an unknown version or a broken object: nothing to show.
        DropApplication();
        return nullptr;
    }
}

std::optional<RECT> WindowlessControlBounds(const TAlienControl* component) {
    if (!component || dynamic_cast<const TAlienWinControl*>(component)) return std::nullopt;
    const TAlienRect bounds = component->BoundsRect();
    return RECT{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
}
