#include "components/GkPositionRestore.h"

#include "components/GkGeneral.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"

std::wstring ProgramBaseName() {
    std::wstring name = ProgramFile();
    const auto slash = name.find_last_of(L"\\/:");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

namespace {

struct WorkAreaSearch {
    RECT rect;
    bool found;
};

BOOL CALLBACK CheckWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* search = reinterpret_cast<WorkAreaSearch*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT common{};
    if (::GetMonitorInfoW(monitor, &info) && ::IntersectRect(&common, &search->rect, &info.rcWork)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool OnAnyWorkArea(const RECT& workspace_rect) {
    // Workspace coordinates start at the corner of the primary display's work area.
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    POINT origin{};
    if (::GetMonitorInfoW(::MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &primary))
        origin = {primary.rcWork.left, primary.rcWork.top};
    WorkAreaSearch search{workspace_rect, false};
    ::OffsetRect(&search.rect, origin.x, origin.y);
    ::EnumDisplayMonitors(nullptr, nullptr, CheckWorkArea, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TGkPositionRestore::TGkPositionRestore(ui::Form& owner, std::wstring form_name)
    : owner_(owner), form_name_(std::move(form_name)), product_(ProgramBaseName()) {}

void TGkPositionRestore::Loaded() {
    HWND window = owner_.handle();
    hook_.install(window, [this](const ui::WindowHook::Call& call) { return FormMessage(call); });
    restored_ = false;
    ui::Registry registry;
    if (!registry.open_key_read_only(PositionKey())) return;
    // A value that is missing or of another type ends the step where it is read.
    try {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        placement.showCmd = SW_HIDE;  // a window not shown yet stays hidden
        placement.ptMinPosition = {-1, -1};
        placement.ptMaxPosition = {-1, -1};
        const int left = registry.read_integer(L"Left");
        const int top = registry.read_integer(L"Top");
        int width, height;
        if (::GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME) {
            width = registry.read_integer(L"Width");
            height = registry.read_integer(L"Height");
        } else {
            // A form with a fixed border keeps its own size.
            RECT now{};
            ::GetWindowRect(window, &now);
            width = now.right - now.left;
            height = now.bottom - now.top;
        }
        placement.rcNormalPosition = {left, top, left + width, top + height};
        const bool visible = OnAnyWorkArea(placement.rcNormalPosition);
        if (visible) ::SetWindowPlacement(window, &placement);
        const int state = registry.read_integer(L"WindowState");
        // A window hidden or in another state when it was closed opens normally.
        if (visible)
            owner_.set_window_state(state == SW_SHOWMAXIMIZED   ? ui::Form::WindowState::Maximized
                                    : state == SW_SHOWMINIMIZED ? ui::Form::WindowState::Minimized
                                                                : ui::Form::WindowState::Normal);
        restored_ = true;
    } catch (const ui::ERegistryException&) {
    }
}

LRESULT TGkPositionRestore::FormMessage(const ui::WindowHook::Call& call) {
    if (call.msg == WM_CLOSE) Save();
    return call.pass_on();
}

void TGkPositionRestore::Save() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(owner_.handle(), &placement)) return;
    if (!SavePosition) {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, PositionKey().c_str());
        return;
    }
    try {
        ui::Registry registry;
        if (!registry.open_key(PositionKey(), true)) return;
        const RECT& normal = placement.rcNormalPosition;
        registry.write_integer(L"Left", normal.left);
        registry.write_integer(L"Top", normal.top);
        registry.write_integer(L"Width", normal.right - normal.left);
        registry.write_integer(L"Height", normal.bottom - normal.top);
        registry.write_integer(L"WindowState", static_cast<int>(placement.showCmd));
    } catch (const ui::ERegistryException&) {
    }
}
