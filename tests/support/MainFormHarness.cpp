#include "support/MainFormHarness.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "app/MainForm.h"
#include "ui/Application.h"
#include "ui/Text.h"

std::wstring SettingsKeyOfTests() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name.erase(0, name.find_last_of(L"\\/") + 1);
    name.erase(name.rfind(L'.'));
    return L"Software\\Orvane\\" + name;
}

void ClearSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKeyOfTests().c_str()); }

void Type(ui::Edit& edit, const std::wstring& characters) {
    for (wchar_t c : characters) ::SendMessageW(edit.handle(), WM_CHAR, c, 1);
}

void SelectAll(ui::Edit& edit) { ::SendMessageW(edit.handle(), EM_SETSEL, 0, -1); }

void SetCaret(ui::Edit& edit, int position) { ::SendMessageW(edit.handle(), EM_SETSEL, position, position); }

void ChooseTab(TMainForm& form, int page) {
    int tab = 0;
    for (int i = 0; i < page; ++i) tab += form.PageControl.page_visible(i) ? 1 : 0;
    TabCtrl_SetCurSel(form.PageControl.handle(), tab);
    NMHDR header{form.PageControl.handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(form.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

void PressAltH(TMainForm& form) {
    HWND focus = ::GetFocus();
    ::SetForegroundWindow(form.handle());
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_MENU, 'H', 'H', VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    WaitUntil([&] { return ::GetFocus() != focus; }, std::chrono::milliseconds(2000));
}

std::wstring BesideTests(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

StartedProgram::StartedProgram(const std::wstring& path) {
    std::wstring command = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        throw std::runtime_error("cannot start a program for the test");
    process_.reset(info.hProcess);
    ::CloseHandle(info.hThread);
    pid_ = info.dwProcessId;
}

StartedProgram::~StartedProgram() {
    if (::WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

namespace {

struct MainWindowSearch {
    DWORD pid;
    HWND window;
};

BOOL CALLBACK TakeMainWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<MainWindowSearch*>(data);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER)) return TRUE;
    search->window = window;
    return FALSE;
}

}  // namespace

HWND VisibleMainWindowOf(DWORD process_id) {
    MainWindowSearch search{process_id, nullptr};
    ::EnumWindows(TakeMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        ui::Application::instance().process_messages();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

std::vector<std::wstring>& ErrorTexts() {
    static std::vector<std::wstring> texts;
    return texts;
}

void CollectError(const std::wstring&, const std::wstring& text) { ErrorTexts().push_back(text); }

}  // namespace

CollectedErrors::CollectedErrors() {
    ErrorTexts().clear();
    ui::Application::instance().set_error_sink(CollectError);
}

CollectedErrors::~CollectedErrors() { ui::Application::instance().set_error_sink(nullptr); }

const std::vector<std::wstring>& CollectedErrors::texts() const { return ErrorTexts(); }

namespace {

struct DialogSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK TakeDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (pid == search->pid && ::IsWindowVisible(window) && std::wstring(name) == L"#32770")
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleDialogsOf(DWORD process_id) {
    DialogSearch search{process_id, {}};
    ::EnumWindows(TakeDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::uint32_t> PrintedClient(HWND control, int width, int height, std::uint32_t background) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    ui::unique_bitmap image(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::unique_memory_dc dc(::CreateCompatibleDC(nullptr));
    if (!image || !dc) return {};
    ui::selected_object selected(dc.get(), image.get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::fill_n(pixels, count, background);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    std::vector<std::uint32_t> result(pixels, pixels + count);
    for (auto& p : result) p &= 0xFFFFFF;
    return result;
}

int& ModalActionFailures() {
    static int failures = 0;
    return failures;
}

namespace {

std::function<void()>& PendingModalAction() {
    static std::function<void()> action;
    return action;
}

void CALLBACK RunModalAction(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    std::function<void()> action = std::move(PendingModalAction());
    PendingModalAction() = nullptr;
    try {
        if (action) action();
    } catch (...) {
        // A failed REQUIRE has reported itself already; what counts now is that the modal loop ends
        // instead of waiting for a click that will not come.
        ++ModalActionFailures();
        ::PostMessageW(::GetActiveWindow(), WM_CLOSE, 0, 0);
    }
}

struct CaptionSearch {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK TakeCaptioned(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<CaptionSearch*>(data);
    if (!::IsWindowVisible(window) || ui::window_text(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

void WhenModal(std::function<void()> action) {
    PendingModalAction() = std::move(action);
    ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, RunModalAction);
}

HWND OwnWindowCaptioned(const std::wstring& caption) {
    CaptionSearch search{&caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), TakeCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
