#include <windows.h>

#include <commctrl.h>

#include "app/MainForm.h"
#include "ui/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    ui::Application& app = ui::Application::instance();
    TMainForm main_form;
    main_form.show(show);
    app.run();
    return 0;
}
