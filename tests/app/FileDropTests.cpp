// Files dropped on the main window: taken only while the Link or PEInfo page is shown, and handed to
// that page.
#include <windows.h>

#include <doctest.h>

#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/MainFormHarness.h"
#include "support/ShellDrop.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/Application.h"

namespace {

std::vector<std::wstring> shown_errors;
void CollectError(const std::wstring&, const std::wstring& text) { shown_errors.push_back(text); }

}  // namespace

TEST_CASE("the main window is a drop target only while the Link or PEInfo page is shown") {
    ClearSettings();
    TempFolder folder;
    const std::wstring text = folder.file(L"notes.txt", "notes");
    TMainForm form;
    CHECK_FALSE(AcceptsFiles(form.handle()));  // the Attributes page at start

    const struct {
        int page;
        bool accepts;
    } pages[] = {
        {TMainForm::PageLink, true},       {TMainForm::PageColor, false},      {TMainForm::PagePEInfo, true},
        {TMainForm::PageDelphiVcl, false}, {TMainForm::PageAttributes, false},
    };
    for (const auto& p : pages) {
        CAPTURE(p.page);
        ChooseTab(form, p.page);
        CHECK(AcceptsFiles(form.handle()) == p.accepts);
        CHECK(form.DropFiles.Target() == (p.accepts ? form.handle() : nullptr));
    }

    SUBCASE("on the Link page the first file shows its extension and its type's program") {
        ChooseTab(form, TMainForm::PageLink);
        ::PostMessageW(form.handle(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(ShellDrop({text, folder.path() + L"other.exe"}, {5, 5})), 0);
        CHECK(WaitUntil([&] { return form.Link.EditFileExt.text() == L".txt"; }));
        CHECK_FALSE(form.Link.EditFileType.text().empty());
        CHECK(form.PEInfo.EditPEFileName.text().empty());
    }
    SUBCASE("on the PEInfo page the first file's name goes into the name box, which loads it") {
        ChooseTab(form, TMainForm::PagePEInfo);
        shown_errors.clear();
        ui::Application::instance().set_error_sink(CollectError);
        ::PostMessageW(form.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(ShellDrop({text}, {5, 5})), 0);
        CHECK(WaitUntil([&] { return form.PEInfo.EditPEFileName.text() == text; }));
        ui::Application::instance().set_error_sink(nullptr);
        CHECK(shown_errors == std::vector<std::wstring>{L"Invalid PE file format."});
        CHECK(form.Link.EditFileExt.text().empty());
    }
}
