// The PEInfo page of a main window in this process, driven like a user: names typed into the box
// character by character, parts chosen in the tree, the tree and the list read back. The files are
// built by the test.
#include <windows.h>

#include <commctrl.h>
#include <doctest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "fixtures/PeBuilder.h"
#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/Application.h"

namespace {

using Row = std::vector<std::wstring>;
using Rows = std::vector<Row>;

std::vector<std::wstring> shown_errors;
void CollectError(const std::wstring&, const std::wstring& text) { shown_errors.push_back(text); }

// A main window on its PEInfo page; error boxes are collected instead of shown.
struct PEInfoForm {
    PEInfoForm() {
        ClearSettings();
        shown_errors.clear();
        ui::Application::instance().set_error_sink(CollectError);
        ChooseTab(form, TMainForm::PagePEInfo);
    }
    ~PEInfoForm() { ui::Application::instance().set_error_sink(nullptr); }
    TMainForm form;
    TPEInfoPage& page = form.PEInfo;
};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Replaces the name box's text by typing name, one character after the other.
void TypeName(TPEInfoPage& page, const std::wstring& name) {
    SelectAll(page.EditPEFileName);
    ::SendMessageW(page.EditPEFileName.handle(), WM_CLEAR, 0, 0);
    Type(page.EditPEFileName, name);
}

// Every item of the tree as its path ("Imports/KERNEL32.dll"), in tree order.
void TreePaths(const ui::TextTree& tree, HTREEITEM parent, const std::wstring& prefix,
               std::vector<std::wstring>& paths) {
    for (HTREEITEM item = tree.first_child(parent); item; item = tree.next_sibling(item)) {
        paths.push_back(prefix + tree.text(item));
        TreePaths(tree, item, paths.back() + L"/", paths);
    }
}

std::vector<std::wstring> TreePaths(const TPEInfoPage& page) {
    std::vector<std::wstring> paths;
    TreePaths(page.TreeParts, nullptr, L"", paths);
    return paths;
}

HTREEITEM Item(const TPEInfoPage& page, const std::wstring& path) {
    HTREEITEM parent = nullptr, item = nullptr;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find(L'/', start);
        const std::wstring part = path.substr(start, slash - start);
        for (item = page.TreeParts.first_child(parent); item && page.TreeParts.text(item) != part;
             item = page.TreeParts.next_sibling(item)) {
        }
        if (!item || slash == std::wstring::npos) return item;
        parent = item;
        start = slash + 1;
    }
}

// Chooses a part as a click on it does.
void Choose(TPEInfoPage& page, const std::wstring& path) {
    HTREEITEM item = Item(page, path);
    REQUIRE_MESSAGE(item, "no tree item " << std::string(path.begin(), path.end()));
    TreeView_SelectItem(page.TreeParts.handle(), item);
}

std::wstring SelectedPath(const TPEInfoPage& page) {
    std::wstring path;
    for (HTREEITEM item = page.TreeParts.selected(); item; item = page.TreeParts.parent_of(item))
        path = page.TreeParts.text(item) + (path.empty() ? L"" : L"/") + path;
    return path;
}

Row Columns(const TPEInfoPage& page) {
    Row captions;
    for (int column = 0; column < page.ListFields.column_count(); ++column)
        captions.push_back(page.ListFields.column_caption(column));
    return captions;
}

// The list's rows as the list view itself gives them out.
Rows ListRows(const TPEInfoPage& page) {
    HWND list = page.ListFields.handle();
    Rows rows;
    const int columns = page.ListFields.column_count();
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        Row cells;
        for (int column = 0; column < columns; ++column) {
            wchar_t text[512] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 512;
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

// PACKAGEINFO of a package built by Delphi: one required package, the unit Controls and its DCP name.
const Bytes kDelphiPackageInfo = {0x00, 0x00, 0x00, 0x4C, 1,   0, 0,    0,    0xEE, 'r', 't',
                                  'l',  0,    1,    0,    0,   0, 0x10, 0xEE, 'C',  'o', 'n',
                                  't',  'r',  'o',  'l',  's', 0, 0xEE, 'x',  0};

Bytes ImageWithEverything() {
    PeBuilder pe;
    pe.AddImports(
        {{"KERNEL32.dll", true, {{"ExitProcess", 5}, {"", 0x8012}}}, {"rtl.bpl", false, {{"f", 0}}}});
    pe.AddExports({1, {0x1000, 0x2000}, {{"Run", 0}, {"", 1}}});
    pe.AddResources({{"PACKAGEINFO", 0, kDelphiPackageInfo}});
    return pe.Build();
}

Bytes Pe32PlusDll() {
    PeBuilder pe;
    pe.MakePe32Plus();
    pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 5}, {"", 0x8012}}}});
    pe.AddDelayImports({{"WINMM.dll", true, {{"timeGetTime", 2}}}});
    pe.AddExports({1, {0x1000, 0x2000}, {{"Run", 0}, {"Stop", 1}}});
    return pe.Build();
}

Bytes NeFile() {
    PeBuilder ne;
    std::memcpy(ne.Signature, "NE\0\0", 4);
    return ne.Build();
}

Bytes ImageWithExports(const std::vector<std::string>& names) {
    PeBuilder pe;
    ExportTable table;
    for (std::size_t i = 0; i < names.size(); ++i) {
        table.Functions.push_back(0x1000 + static_cast<std::uint32_t>(i));
        table.Names.push_back({names[i], static_cast<std::uint16_t>(i)});
    }
    pe.AddExports(table);
    return pe.Build();
}

const std::vector<std::wstring> kTopLevel = {L"MS-DOS Header", L"PE Header",         L"PE Optional Header",
                                             L"Imports",       L"Exports",           L"Miscellaneous",
                                             L"Package info",  L"Package info/Units"};

// What one part shows once chosen.
struct Shown {
    std::wstring path;
    Row columns;
    Rows rows;  // empty with some_rows: only the count is checked
    std::size_t some_rows = 0;
};

}  // namespace

TEST_CASE("the page shows each file's parts as its tree and the chosen part's rows as its list") {
    // One file a row: how it is made, the tree it gives, what some of its parts show, or its error.
    struct File {
        const char* what;
        std::function<Bytes()> make;
        std::vector<std::wstring> tree;
        std::vector<Shown> parts;
        const wchar_t* error = nullptr;
    };
    const File files[] = {
        {"an image with imports, exports and package information",
         ImageWithEverything,
         {L"MS-DOS Header", L"PE Header", L"PE Optional Header", L"Imports", L"Imports/KERNEL32.dll",
          L"Imports/rtl.bpl", L"Exports", L"Miscellaneous", L"Package info", L"Package info/Units"},
         {
             {L"MS-DOS Header", {L"Field", L"Value"}, {}, 17},
             {L"Imports/KERNEL32.dll",
              {L"Function name", L"Ordinal"},
              {{L"ExitProcess", L"5"}, {L"", L"32786"}}},
             // The export without a name keeps its ordinal and entry point in their columns.
             {L"Exports",
              {L"Function name", L"Ordinal", L"Entry point"},
              {{L"", L"2", L"8192"}, {L"Run", L"1", L"4096"}}},
             {L"Miscellaneous",
              {L"Field", L"Value"},
              {{L"MZ  (Id of a DOS EXE)", L"Yorrelind"},
               {L"PE  (Id of a Win32 EXE)", L"Portable Executable"},
               {L"Compiled with", L"Delphi"},
               {L"Language", L"Object Pascal"},
               {L"Component library", L"VCL"},
               {L"Target system", L"Windows"}}},
             {L"Package info", {L"Field", L"Value"}, {}, 5},
             {L"Package info/Units",
              {L"Name", L"Type"},
              {{L"rtl", L"RequiresPackage"}, {L"Controls", L"ContainsUnit"}, {L"x", L"DcpBpiName"}}},
         }},
        {"a 64-bit DLL with imports, delay-loaded imports and exports",
         Pe32PlusDll,
         {L"MS-DOS Header", L"PE Header", L"PE Optional Header", L"Imports", L"Imports/KERNEL32.dll",
          L"Imports/WINMM.dll (delay-loaded)", L"Exports", L"Miscellaneous", L"Package info",
          L"Package info/Units"},
         {
             {L"Imports/KERNEL32.dll",
              {L"Function name", L"Ordinal"},
              {{L"ExitProcess", L"5"}, {L"", L"32786"}}},
             {L"Imports/WINMM.dll (delay-loaded)", {L"Function name", L"Ordinal"}, {{L"timeGetTime", L"2"}}},
             {L"Exports",
              {L"Function name", L"Ordinal", L"Entry point"},
              {{L"Run", L"1", L"4096"}, {L"Stop", L"2", L"8192"}}},
         }},
        {"a file of 10 bytes", [] { return Bytes(10, 'x'); }, {}, {}, L"Invalid PE file format."},
        {"an NE file",
         NeFile,
         kTopLevel,
         {
             {L"PE Header", {L"Field", L"Value"}, {{L"Executable format", L"Unsupported 16-bit NE Format"}}},
             {L"PE Optional Header", {L"Field", L"Value"}, {}},
             {L"Exports", {L"Function name", L"Ordinal", L"Entry point"}, {}},
         }},
    };
    PEInfoForm window;
    TempFolder folder;
    int number = 0;
    for (const File& file : files) {
        CAPTURE(std::string(file.what));
        const std::wstring name =
            folder.file(L"file" + std::to_wstring(++number) + L".dll", Text(file.make()));
        shown_errors.clear();
        TypeName(window.page, name);
        CHECK(TreePaths(window.page) == file.tree);
        CHECK(shown_errors ==
              (file.error ? std::vector<std::wstring>{file.error} : std::vector<std::wstring>{}));
        CHECK((window.page.PEFileInfo() != nullptr) == !file.error);
        for (const Shown& part : file.parts) {
            CAPTURE(std::string(part.path.begin(), part.path.end()));
            Choose(window.page, part.path);
            CHECK(Columns(window.page) == part.columns);
            const Rows rows = ListRows(window.page);
            if (part.some_rows)
                CHECK(rows.size() == part.some_rows);
            else
                CHECK(rows == part.rows);
        }
        if (file.error) CHECK(ListRows(window.page).empty());
    }
}

TEST_CASE("a typed name loads as soon as it names an existing file, and again at every later such change") {
    PEInfoForm window;
    TempFolder folder;
    const std::wstring shorter = folder.file(L"probe", Text(ImageWithExports({"One"})));
    const std::wstring longer = folder.file(L"probe.dll", Text(ImageWithExports({"Two", "Three"})));
    const auto exports = [&] {
        Choose(window.page, L"Exports");
        Rows names;
        for (const Row& row : ListRows(window.page)) names.push_back({row[0]});
        return names;
    };

    TypeName(window.page, L"");
    for (wchar_t c : shorter) {
        CHECK(TreePaths(window.page).empty());
        Type(window.page.EditPEFileName, std::wstring(1, c));
    }
    CHECK(exports() == Rows{{L"One"}});
    for (wchar_t c : std::wstring(L".dl")) {
        Type(window.page.EditPEFileName, std::wstring(1, c));
        CHECK(exports() == Rows{{L"One"}});  // names no file: the previous one stays on show
    }
    Type(window.page.EditPEFileName, L"l");
    CHECK(exports() == Rows{{L"Three"}, {L"Two"}});

    // Editing the name and restoring it reads the file again.
    folder.file(L"probe.dll", Text(ImageWithExports({"Four"})));
    Type(window.page.EditPEFileName, L"\b");
    CHECK(exports() == Rows{{L"Three"}, {L"Two"}});
    Type(window.page.EditPEFileName, L"l");
    CHECK(exports() == Rows{{L"Four"}});

    // A folder's name loads nothing and leaves the file on show.
    const TPEFileInfo* reader = window.page.PEFileInfo();
    TypeName(window.page, folder.path().substr(0, folder.path().size() - 1));
    CHECK(window.page.PEFileInfo() == reader);
    CHECK(exports() == Rows{{L"Four"}});
    CHECK(shown_errors.empty());
}

TEST_CASE("a new file keeps the chosen top-level part's position; any deeper part gives the first") {
    PEInfoForm window;
    TempFolder folder;
    const std::wstring everything = folder.file(L"everything.dll", Text(ImageWithEverything()));
    const std::wstring ne = folder.file(L"ne.exe", Text(NeFile()));
    const std::wstring again = folder.file(L"again.dll", Text(ImageWithEverything()));
    TypeName(window.page, everything);
    CHECK(SelectedPath(window.page) == L"MS-DOS Header");  // nothing was chosen before

    const struct {
        const wchar_t* chosen;
        const std::wstring& next;
        const wchar_t* selected;
        Row columns;
        std::size_t rows;
    } cases[] = {
        {L"Exports", ne, L"Exports", {L"Function name", L"Ordinal", L"Entry point"}, 0},
        {L"Exports", everything, L"Exports", {L"Function name", L"Ordinal", L"Entry point"}, 2},
        {L"Imports/KERNEL32.dll", ne, L"MS-DOS Header", {L"Field", L"Value"}, 17},
        {L"Package info", everything, L"Package info", {L"Field", L"Value"}, 5},  // the new rows at once
        {L"Package info/Units", again, L"MS-DOS Header", {L"Field", L"Value"}, 17},
        {L"Miscellaneous", ne, L"Miscellaneous", {L"Field", L"Value"}, 4},
    };
    for (const auto& c : cases) {
        CAPTURE(std::wstring(c.chosen));
        Choose(window.page, c.chosen);
        TypeName(window.page, c.next);
        CHECK(SelectedPath(window.page) == c.selected);
        CHECK(Columns(window.page) == c.columns);
        CHECK(ListRows(window.page).size() == c.rows);
    }
}

TEST_CASE("the Entry point column is there only while Exports is chosen; Imports itself shows nothing") {
    PEInfoForm window;
    TempFolder folder;
    TypeName(window.page, folder.file(L"everything.dll", Text(ImageWithEverything())));
    const struct {
        const wchar_t* chosen;
        Row columns;
        std::size_t rows;
    } steps[] = {
        {L"Exports", {L"Function name", L"Ordinal", L"Entry point"}, 2},
        {L"Imports", {L"Function name", L"Ordinal"}, 0},  // the captions of the part before
        {L"Exports", {L"Function name", L"Ordinal", L"Entry point"}, 2},
        {L"Imports/rtl.bpl", {L"Function name", L"Ordinal"}, 1},
        {L"Miscellaneous", {L"Field", L"Value"}, 6},
        {L"Imports", {L"Field", L"Value"}, 0},
    };
    for (const auto& step : steps) {
        CAPTURE(std::wstring(step.chosen));
        Choose(window.page, step.chosen);
        CHECK(Columns(window.page) == step.columns);
        CHECK(ListRows(window.page).size() == step.rows);
    }
}

TEST_CASE("Miscellaneous runs producer detection each time it is chosen") {
    PEInfoForm window;
    TempFolder folder;
    const Bytes delphi = ImageWithEverything();
    const std::wstring name = folder.file(L"package.bpl", Text(delphi));
    TypeName(window.page, name);
    const auto compiled_with = [&] {
        Choose(window.page, L"PE Header");
        Choose(window.page, L"Miscellaneous");
        const Rows rows = ListRows(window.page);
        return rows.size() > 2 ? rows[2][1] : L"(no row)";
    };
    CHECK(compiled_with() == L"Delphi");

    // The same layout with the producer field of PACKAGEINFO's flags saying C++ Builder (2, not 3).
    Bytes builder = delphi;
    const std::size_t at = Text(builder).find(Text(kDelphiPackageInfo));
    REQUIRE(at != std::string::npos);
    builder[at + 3] = 0x48;
    folder.file(L"package.bpl", Text(builder));
    CHECK(compiled_with() == L"C++ Builder");

    // Gone: no resources to look at, the import names still decide.
    REQUIRE(::DeleteFileW(name.c_str()));
    CHECK(compiled_with() == L"(Unknown)");
    CHECK(shown_errors.empty());
}

namespace {

// Answers the open dialog with a name set by the test, and counts how often it was asked.
struct ChosenFile : ui::FileChooser {
    std::wstring name;
    bool confirm = true;
    int asked = 0;
    bool choose(HWND owner, std::wstring& file_name) override {
        ++asked;
        CHECK(owner == ::GetAncestor(owner, GA_ROOT));
        if (confirm) file_name = name;
        return confirm;
    }
};

}  // namespace

TEST_CASE("browsing writes the chosen name into the box; the name already there does not load again") {
    PEInfoForm window;
    TempFolder folder;
    ChosenFile chooser;
    window.page.SetFileChooser(&chooser);
    chooser.name = folder.file(L"first.dll", Text(ImageWithExports({"One"})));
    window.page.ButtonOpenDialog.click();
    CHECK(window.page.EditPEFileName.text() == chooser.name);
    Choose(window.page, L"Exports");
    CHECK(ListRows(window.page).size() == 1);

    folder.file(L"first.dll", Text(ImageWithExports({"Two", "Three"})));
    ::SendMessageW(window.page.ButtonOpenDialog.handle(), BM_CLICK, 0, 0);
    CHECK(ListRows(window.page).size() == 1);  // not read again

    chooser.confirm = false;
    window.page.ButtonOpenDialog.click();
    CHECK(window.page.EditPEFileName.text() == chooser.name);
    CHECK(chooser.asked == 3);
    window.page.SetFileChooser(nullptr);
}

TEST_CASE("Ctrl+A selects every row, Ctrl+C copies the selected rows or all, captions first") {
    PEInfoForm window;
    TempFolder folder;
    TypeName(window.page, folder.file(L"three.dll", Text(ImageWithExports({"a", "b", "c"}))));
    Choose(window.page, L"Exports");
    HWND list = window.page.ListFields.handle();
    ::SetForegroundWindow(window.form.handle());
    ::SetFocus(list);
    REQUIRE(WaitUntil([&] { return ::GetFocus() == list; }));

    const auto press_ctrl = [](WORD key) {
        INPUT keys[4] = {};
        const WORD codes[4] = {VK_CONTROL, key, key, VK_CONTROL};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
        }
        ::SendInput(4, keys, sizeof(INPUT));
    };
    const auto clipboard = [&] {
        std::wstring text;
        if (!::OpenClipboard(nullptr)) return text;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
                text = chars;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
        return text;
    };
    const auto copied = [&] {
        REQUIRE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        ::CloseClipboard();
        press_ctrl('C');
        WaitUntil([&] { return !clipboard().empty(); });
        return clipboard();
    };

    const std::wstring all =
        L"Function name\tOrdinal\tEntry point\r\n"
        L"a\t1\t4096\r\nb\t2\t4097\r\nc\t3\t4098\r\n";
    CHECK(copied() == all);  // nothing selected: every row
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    CHECK(copied() == L"Function name\tOrdinal\tEntry point\r\na\t1\t4096\r\nc\t3\t4098\r\n");
    press_ctrl('A');
    CHECK(WaitUntil([&] { return window.page.ListFields.selected_rows().size() == 3; }));
    CHECK(copied() == all);
}

TEST_CASE("the splitter widens the tree and narrows the list while it is dragged") {
    PEInfoForm window;
    const ui::Bounds tree = window.page.TreeParts.bounds(), list = window.page.ListFields.bounds();
    HWND bar = window.page.SplitterParts.handle();
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 5));
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(41, 5));
    CHECK(window.page.TreeParts.bounds().width == tree.width + 40);
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10000, 5));
    CHECK(window.page.TreeParts.bounds().width == 30);  // never narrower than that
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(21, 5));
    ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(21, 5));
    const ui::Bounds moved_tree = window.page.TreeParts.bounds(),
                     moved_list = window.page.ListFields.bounds();
    CHECK(moved_tree.width == 50);
    CHECK(moved_list.left + moved_list.width == list.left + list.width);
    CHECK(moved_list.left == moved_tree.left + moved_tree.width + (list.left - tree.left - tree.width));
    // Released: moving the mouse no longer moves the bar.
    ::SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(80, 5));
    CHECK(window.page.TreeParts.bounds().width == moved_tree.width);
}
