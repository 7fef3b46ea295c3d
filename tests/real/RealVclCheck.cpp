// real_vcl_check.exe [OPTION]... CLASS=NAME...: checks Scrutel's Delphi-VCL page against a real program
// of the component library running in this Wine prefix, through Scrutel's own main window: a typed
// handle for the form of window class CLASS (its component named NAME, or any name for "*") and for
// each of its child windows of the library, and finder picks over a grid of points of every window
// that holds controls without a window of their own. The oracle is what the system says about the
// windows: their class names (the library names window classes after the control's class), their
// rectangles and parents, and the names given on the command line.
//
//   --generation TEXT     the version box must show TEXT ("2009 or later", "XE2 or later")
//   --expect "NAME: CLASS" some component box must show it
//   --expect-text TEXT    some control without a window must show TEXT as its text
//   --min-windowed N      each form must have at least N child windows checked (default 0)
//   --min-windowless N    and at least N controls without a window (default 0)
//   --origins             prints where each offset of the forms' layouts came from
//
// Waits up to 90 s for the forms. Exit code 0 when every check held, 1 when one failed, 2 when the
// forms did not come up or the arguments are wrong.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/ComponentLookup.h"
#include "app/MainForm.h"
#include "base/ValueText.h"
#include "base/WindowHandleValue.h"
#include "support/MainFormHarness.h"
#include "ui/Text.h"

namespace {

struct Options {
    std::string generation;
    std::vector<std::string> expect, expect_text;
    int min_windowed = 0, min_windowless = 0;
    bool origins = false;
    std::vector<std::pair<std::string, std::string>> forms;  // window class, component name
};

std::string Narrow(const std::wstring& text) { return ui::wide_to_ansi(text); }

struct Page {
    std::string version, text, component, font, bounds, client, parent, owner;
    std::vector<std::string> hierarchy;
};

Page Read(TDelphiVclPage& page) {
    Page p{Narrow(page.EditVersion.text()), Narrow(page.EditText.text()),   Narrow(page.EditComponent.text()),
           Narrow(page.EditFont.text()),    Narrow(page.EditBounds.text()), Narrow(page.EditClient.text()),
           Narrow(page.EditParent.text()),  Narrow(page.EditOwner.text()),  {}};
    for (int i = 0; i < page.ListHierarchy.count(); ++i)
        p.hierarchy.push_back(Narrow(page.ListHierarchy.item(i)));
    return p;
}

std::string ClassOfWindow(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsLibraryWindow(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    const std::string atom_name = "Delphi" + HexText8<char>(process);
    const ATOM atom = ::GlobalFindAtomA(atom_name.c_str());
    return atom != 0 && ::GetPropA(window, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom))) != nullptr;
}

// The window's text as WM_GETTEXT answers it, within the time the rest of Scrutel allows.
std::string WindowTextOf(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, 1000, &copied))
        return "(no answer)";
    return Narrow(text);
}

// The window's rectangle in its parent's client coordinates, or on the screen for a top-level window.
std::string BoundsOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    if (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return Narrow(WindowRectText(r));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> windows;
    ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

class Checker {
public:
    explicit Checker(const Options& options) : options_(options) {}

    int Run() {
        std::vector<HWND> forms;
        for (const auto& [window_class, name] : options_.forms) {
            HWND found = nullptr;
            if (!WaitUntil([&] { return (found = TopWindowOf(window_class)) != nullptr; },
                           std::chrono::seconds(90))) {
                std::printf("no window of class %s came up within 90 s\n", window_class.c_str());
                return 2;
            }
            forms.push_back(found);
        }
        for (std::size_t i = 0; i < forms.size(); ++i) CheckForm(forms[i], options_.forms[i]);
        for (const std::string& wanted : options_.expect)
            Check(seen_.count(wanted) != 0, "a component box shows \"" + wanted + "\"");
        for (const std::string& wanted : options_.expect_text)
            Check(windowless_texts_.count(wanted) != 0,
                  "a control without a window shows the text \"" + wanted + "\"");
        std::printf("%d checks, %d failed\n", checks_, failures_);
        return failures_ == 0 ? 0 : 1;
    }

private:
    static HWND TopWindowOf(const std::string& window_class) {
        for (HWND window : TopWindows())
            if (::IsWindowVisible(window) && ClassOfWindow(window) == window_class && IsLibraryWindow(window))
                return window;
        return nullptr;
    }

    void Check(bool ok, const std::string& what) {
        ++checks_;
        if (!ok) ++failures_;
        if (!ok || verbose_) std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    }

    // A typed handle: the page shows the window's own component.
    Page Typed(HWND window) {
        form_.EditHandle.set_text(L"");
        form_.EditHandle.set_text(HandleText<wchar_t>(HandleValue(window)));
        return Read(form_.DelphiVcl);
    }

    void CheckHierarchy(const Page& page, const std::string& cls, bool windowed, const std::string& where) {
        const std::vector<std::string>& h = page.hierarchy;
        Check(!h.empty() && h.front() == cls, where + ": hierarchy starts with " + cls);
        Check(!h.empty() && h.back() == "TObject", where + ": hierarchy ends with TObject");
        // The library's chain, in order, above every control.
        std::vector<std::string> bases = {"TControl", "TComponent", "TPersistent", "TObject"};
        if (windowed) bases.insert(bases.begin(), "TWinControl");
        auto at = h.begin();
        for (const std::string& base : bases) at = std::find(at, h.end(), base);
        Check(at != h.end(), where + ": hierarchy holds " + (windowed ? "TWinControl, " : "") +
                                 "TControl, TComponent, TPersistent, TObject in order");
        if (!windowed)
            Check(std::find(h.begin(), h.end(), "TWinControl") == h.end(),
                  where + ": hierarchy without TWinControl");
    }

    std::string CheckWindowed(HWND window, const std::string& name, const std::string& form_component) {
        const std::string cls = ClassOfWindow(window);
        const Page page = Typed(window);
        const std::string where = "window " + Narrow(HandleText<wchar_t>(HandleValue(window))) + " " + cls;
        if (!options_.generation.empty())
            Check(page.version == options_.generation, where + ": version box \"" + page.version + "\"");
        const std::size_t colon = page.component.rfind(": ");
        Check(colon != std::string::npos && page.component.substr(colon + 2) == cls,
              where + ": component box \"" + page.component + "\" names the class");
        if (name != "*")
            Check(page.component == name + ": " + cls, where + ": component box is " + name + ": " + cls);
        CheckHierarchy(page, cls, true, where);
        Check(page.bounds == BoundsOf(window),
              where + ": bounds " + page.bounds + " against " + BoundsOf(window));
        RECT client{};
        ::GetClientRect(window, &client);
        Check(page.client == Narrow(ClientRectText(client)), where + ": client " + page.client);
        const bool child = (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0;
        const std::string parent = child ? components_[::GetParent(window)] : "nil";
        Check(page.parent == parent,
              where + ": parent \"" + page.parent + "\", the parent window's \"" + parent + "\"");
        const bool named = colon != std::string::npos && colon > 0;
        if (!child)
            Check(page.owner == ": TApplication",
                  where + ": owner \"" + page.owner + "\" is the application");
        else if (named)
            Check(page.owner == form_component, where + ": owner \"" + page.owner + "\" is the form");
        Check(page.text == WindowTextOf(window), where + ": text \"" + page.text + "\"");
        Check(!page.font.empty(), where + ": font \"" + page.font + "\"");
        seen_.insert(page.component);
        components_[window] = page.component;
        return page.component;
    }

    // Finder picks over a grid of the window's client points that no child window covers.
    int CheckWindowless(HWND window, const std::string& form_component) {
        TAlienControl* own = form_.Components().Find(window, std::nullopt);
        auto* windowed = dynamic_cast<TAlienWinControl*>(own);
        if (!windowed || windowed->Controls()->Count() == 0) return 0;
        const std::int32_t expected = windowed->Controls()->Count();
        RECT client{};
        ::GetClientRect(window, &client);
        std::set<const TAlienControl*> found;
        int points = 0;
        for (int y = 2; y < client.bottom && points < 6000; y += 4) {
            for (int x = 2; x < client.right && points < 6000; x += 4) {
                if (::ChildWindowFromPointEx(window, POINT{x, y}, CWP_SKIPINVISIBLE) != window) continue;
                ++points;
                POINT screen{x, y};
                ::ClientToScreen(window, &screen);
                TAlienControl* hit = form_.Components().Find(window, screen);
                if (!hit || hit == own || !found.insert(hit).second) continue;
                form_.DelphiVcl.Show(form_.Components().Application(), hit);
                CheckOneWindowless(Read(form_.DelphiVcl), window, {x, y}, form_component);
                if (static_cast<std::int32_t>(found.size()) == expected)
                    return static_cast<int>(found.size());
            }
        }
        return static_cast<int>(found.size());
    }

    void CheckOneWindowless(const Page& page, HWND window, POINT at, const std::string& form_component) {
        const std::string cls = page.hierarchy.empty() ? "" : page.hierarchy.front();
        const std::string where = "control without a window at (" + std::to_string(at.x) + ", " +
                                  std::to_string(at.y) + ") of " + components_[window];
        Check(page.component.size() >= cls.size() + 2 &&
                  page.component.compare(page.component.size() - cls.size() - 2, std::string::npos,
                                         ": " + cls) == 0,
              where + ": component box \"" + page.component + "\" names its class");
        CheckHierarchy(page, cls, false, where);
        int left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
        const bool parsed = std::sscanf(page.bounds.c_str(), "(%d, %d)-(%d, %d) %dx%d", &left, &top, &right,
                                        &bottom, &width, &height) == 6;
        Check(parsed && left <= at.x && at.x < right && top <= at.y && at.y < bottom,
              where + ": bounds " + page.bounds + " hold the point");
        Check(page.client == Narrow(ClientRectText(0, 0, width, height)), where + ": client " + page.client);
        Check(page.parent == components_[window], where + ": parent \"" + page.parent + "\" is the window's");
        if (page.component.rfind(": ", 0) != 0)
            Check(page.owner == form_component, where + ": owner \"" + page.owner + "\" is the form");
        Check(!page.font.empty(), where + ": font \"" + page.font + "\"");
        seen_.insert(page.component);
        windowless_texts_.insert(page.text);
        std::printf("  windowless %s at (%d, %d): %s, text \"%s\"\n", page.component.c_str(),
                    static_cast<int>(at.x), static_cast<int>(at.y), page.bounds.c_str(), page.text.c_str());
    }

    void CheckForm(HWND form, const std::pair<std::string, std::string>& expected) {
        const std::string component = CheckWindowed(form, expected.second, "");
        const Page shown = Read(form_.DelphiVcl);
        std::printf("form %s: \"%s\", version \"%s\"\n", expected.first.c_str(), component.c_str(),
                    shown.version.c_str());
        std::printf("  hierarchy:");
        for (const std::string& cls : shown.hierarchy) std::printf(" %s", cls.c_str());
        std::printf("\n");
        if (options_.origins) PrintOrigins(form);
        const std::vector<HWND> children = ChildWindows(form);
        int windowed = 0, windowless = CheckWindowless(form, component);
        for (HWND child : children) {
            if (!IsLibraryWindow(child)) continue;
            CheckWindowed(child, "*", component);
            ++windowed;
        }
        for (HWND child : children)
            if (IsLibraryWindow(child) && ::IsWindowVisible(child))
                windowless += CheckWindowless(child, component);
        std::printf("  %d child windows and %d controls without a window checked\n", windowed, windowless);
        Check(windowed >= options_.min_windowed,
              "at least " + std::to_string(options_.min_windowed) + " child windows");
        Check(windowless >= options_.min_windowless,
              "at least " + std::to_string(options_.min_windowless) + " controls without a window");
    }

    void PrintOrigins(HWND form) {
        TAlienControl* own = form_.Components().Find(form, std::nullopt);
        TAlienApplication* app = form_.Components().Application();
        if (!own || !app) return;
        static const char* const sources[] = {"published property",       "extended field", "structural rule",
                                              "window handle by content", "record type",    "record shape"};
        const auto print = [&](const char* what, std::uint32_t object) {
            const TModernLayout* layout = app->ModernLayoutOf(object);
            if (!layout) return;
            std::printf("  offsets of %s:\n", what);
            for (const TOffsetOrigin& origin : layout->Origins)
                std::printf("    %-16s +%-4u %s: %s\n", origin.Field.c_str(), origin.Offset,
                            sources[static_cast<int>(origin.Source)], origin.Evidence.c_str());
        };
        print(own->ClassName().c_str(), own->Address());
        if (TAlienFont* font = own->Font()) print("its font", font->Address());
    }

    const Options& options_;
    TMainForm form_;
    std::map<HWND, std::string> components_;
    std::set<std::string> seen_, windowless_texts_;
    int checks_ = 0, failures_ = 0;
    bool verbose_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--generation" && has_value)
            options.generation = argv[++i];
        else if (arg == "--expect" && has_value)
            options.expect.push_back(argv[++i]);
        else if (arg == "--expect-text" && has_value)
            options.expect_text.push_back(argv[++i]);
        else if (arg == "--min-windowed" && has_value)
            options.min_windowed = std::atoi(argv[++i]);
        else if (arg == "--min-windowless" && has_value)
            options.min_windowless = std::atoi(argv[++i]);
        else if (arg == "--origins")
            options.origins = true;
        else if (const std::size_t equals = arg.find('='); equals != std::string::npos && arg[0] != '-')
            options.forms.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
        else {
            std::printf("real_vcl_check: unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (options.forms.empty()) return 2;
    ClearSettings();
    Checker checker(options);
    const int status = checker.Run();
    std::fflush(stdout);
    return status;
}
