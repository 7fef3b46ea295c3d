#pragma once
// Finding the component of the component library behind a window of another program, and the control
// without a window of its own under a point inside it. Keeps the access object of the window last
// looked up, so that repeated lookups of one window read nothing again.
#include <windows.h>

#include <memory>
#include <optional>

class TAlienApplication;
class TAlienControl;

class TComponentLookup {
public:
    TComponentLookup();
    ~TComponentLookup();
    TComponentLookup(const TComponentLookup&) = delete;
    TComponentLookup& operator=(const TComponentLookup&) = delete;

    // The component behind window; with a screen point, the windowless control under it when there is
    // one. Null for a window that does not answer, does not belong to a recognised program of the
    // library, or whose objects cannot be read. A component found earlier stays valid until a lookup
    // of another window or Reset.
    TAlienControl* Find(HWND window, std::optional<POINT> screen_point);
    // The access object of the window last looked up; null after a lookup that found nothing.
    TAlienApplication* Application() const { return application_.get(); }
    void Reset();

    // The component the Delphi-VCL page shows: one that Find answered. It is cleared whenever the
    // access object it belongs to goes.
    TAlienControl* CurrentComponent() const { return current_; }
    void SetCurrentComponent(TAlienControl* component) { current_ = component; }

private:
    void DropApplication();
    std::unique_ptr<TAlienApplication> application_;
    TAlienControl* current_ = nullptr;  // owned by application_'s caches
};

// The bounds of a control without a window of its own, in the client coordinates of the window that
// holds it; none for no component and for a window's own component, which its window frames.
std::optional<RECT> WindowlessControlBounds(const TAlienControl* component);
