#include <windows.h>

#include <commctrl.h>

#include "app/MainForm.h"
#include "color/Magnifier.h"
#include "ui/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    ui::Application& app = ui::Application::instance();
    TMainForm main_form;
    // The secondary windows stay hidden until used.
    TMagnifierForm magnifier_form;
    main_form.Color.UseMagnifier(&magnifier_form);
    main_form.show(show);
    app.run();
    main_form.Color.UseMagnifier(nullptr);
    return 0;
}
