// Ctrl+C and the Copy button: what the shown page holds goes to the clipboard as Unicode text.
#include <windows.h>

#include <doctest.h>

#include <string>
#include <vector>

#include "app/FinderInput.h"
#include "app/MainForm.h"
#include "base/WindowHandleValue.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Clipboard.h"
#include "ui/Text.h"
#include "window/WindowEntryText.h"

using finder_test::Hex;

namespace {

// The clipboard's text as CF_UNICODETEXT; "(none)" when it holds none.
std::wstring ClipboardText() {
    std::wstring text = L"(none)";
    if (!::OpenClipboard(nullptr)) return L"(clipboard busy)";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Ctrl+C on the real keyboard, into the form's focused control; the clipboard's text afterwards.
std::wstring PressCtrlC(TMainForm& form) {
    const std::wstring before = L"before Ctrl+C";
    REQUIRE(ui::copy_to_clipboard(form.handle(), before));
    ::SetForegroundWindow(form.handle());
    // In one call: sent one call at a time, Ctrl is no longer down for the C under Wine 8.
    const WORD codes[4] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
    INPUT keys[4] = {};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    finder_test::Settle();
    WaitUntil([&] { return ClipboardText() != before; }, std::chrono::milliseconds(1000));
    const std::wstring after = ClipboardText();
    return after == before ? L"(unchanged)" : after;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    return lines;
}

struct ShownForm {
    ShownForm() {
        ClearSettings();
        form.show();
    }
    TMainForm form;
};

}  // namespace

TEST_CASE_FIXTURE(ShownForm,
                  "the Attributes page copies every field as Label: value lines, by Ctrl+C and by Copy") {
    ui::unique_hwnd window(::CreateWindowExW(0, L"STATIC", L"\u0416\u4E2D caption", WS_POPUP | WS_VISIBLE, 10,
                                             20, 100, 50, nullptr, nullptr, nullptr, nullptr));
    form.EditHandle.set_text(Hex(window.get()));
    form.EditHandle.focus();
    const std::wstring copied = PressCtrlC(form);
    const std::vector<std::wstring> lines = Lines(copied);
    const wchar_t* labels[] = {
        L"Text/Caption", L"Classname",    L"ID",       L"Font",    L"Window-Rect", L"Client-Rect",
        L"App-Instance", L"ParentWnd",    L"OwnerWnd", L"Enabled", L"Visible",     L"Unicode",
        L"Window-Style", L"ExtWnd-Style", L"Author",   L"Package", L"Website"};
    REQUIRE(lines.size() == std::size(labels));
    for (std::size_t i = 0; i < lines.size(); ++i)
        CHECK(lines[i].rfind(std::wstring(labels[i]) + L": ", 0) == 0);
    CHECK(lines[0] == L"Text/Caption: \u0416\u4E2D caption");
    CHECK(lines[1] == L"Classname: Static");
    CHECK(lines[4] == L"Window-Rect: (10, 20)-(110, 70) 100x50");
    CHECK(lines[10] == L"Visible: Yes");
    CHECK(lines[12] == L"Window-Style: " + form.Attributes.ButtonStyle.text());
    CHECK(copied.substr(copied.size() - 2) == L"\r\n");

    // The Copy button copies the same, also in the collapsed layout that hides the right column.
    REQUIRE(ui::copy_to_clipboard(form.handle(), L"before Copy"));
    ::SendMessageW(form.Attributes.ButtonCopy.handle(), BM_CLICK, 0, 0);
    CHECK(ClipboardText() == copied);

    // In an edit box with a selection, Ctrl+C copies the selection and leaves the box as it was.
    form.Attributes.EditCaption.focus();
    form.Attributes.EditCaption.select(0, 2);
    CHECK(PressCtrlC(form) == L"\u0416\u4E2D");
    CHECK(form.Attributes.EditCaption.text() == L"\u0416\u4E2D caption");
    CHECK(ui::window_text(window.get()) == L"\u0416\u4E2D caption");
    // Without a selection, the page is copied.
    form.Attributes.EditCaption.select(0, 0);
    CHECK(PressCtrlC(form) == copied);

    // A page that offers nothing to copy leaves the clipboard alone.
    ChooseTab(form, TMainForm::PageColor);
    CHECK(PressCtrlC(form) == L"(unchanged)");
}

TEST_CASE_FIXTURE(ShownForm, "the Delphi-VCL page copies its boxes and its class hierarchy") {
    FixtureProcess program(L"vcl_fixture.exe", L"7 normal");
    form.EditHandle.set_text(Hex(program.window("button")));
    ChooseTab(form, TMainForm::PageDelphiVcl);
    CHECK(PressCtrlC(form) ==
          L"Text/Caption: Button1\r\n"
          L"Component: Button1: TButton\r\n"
          L"Font: MS Sans Serif, 8 pt, Bold, clWindowText\r\n"
          L"Bounds-Rect: (16, 8)-(91, 33) 75x25\r\n"
          L"Client-Rect: (0, 0)-(75, 25)\r\n"
          L"Parent: Form1: TForm1\r\n"
          L"Owner: Form1: TForm1\r\n"
          L"Version: 7\r\n"
          L"Class hierarchy: TButton, TButtonControl, TWinControl, TControl, TComponent, TPersistent, "
          L"TObject\r\n");
}

TEST_CASE_FIXTURE(ShownForm, "Ctrl+C in the tree copies the selected branch as indented lines") {
    FixtureProcess fixture(L"window_fixture.exe");
    const auto entry = [&](const char* name, const wchar_t* class_name, const wchar_t* caption) {
        return WindowEntryText(HandleValue(fixture.window(name)), class_name, caption);
    };
    form.EditHandle.set_text(Hex(fixture.window("treeparent")));
    ChooseTab(form, TMainForm::PageHierarchy);
    form.Hierarchy.TreeWindows.focus();
    CHECK(PressCtrlC(form) == entry("treeparent", L"FixtureTree", L"Tree parent") + L"\r\n  " +
                                  entry("treeone", L"FixtureTree", L"Tree child one") + L"\r\n    " +
                                  entry("treegrandchild", L"Button", L"Tree grandchild") + L"\r\n  " +
                                  entry("treetwo", L"Static", L"Tree child two") + L"\r\n");
}
