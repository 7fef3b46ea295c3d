#pragma once
// A top-level form: caption, fixed border, client size, font, menu with shortcuts, key preview, and
// the default and cancel buttons that Enter and Escape press.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Handles.h"
#include "ui/Window.h"

namespace ui {

class Form : public Window {
public:
    struct Style {
        std::wstring caption;
        int client_width;
        int client_height;
        bool context_help = false;  // the "?" button in the title bar
        const wchar_t* font_face = L"Tahoma";
        int font_points = 8;
    };

    Form();
    ~Form() override;

    // Key preview: the form sees key events before the focused control.
    std::function<void(WPARAM key)> on_key_down;
    std::function<void(WPARAM key)> on_key_up;
    std::function<void()> on_close_request;  // WM_CLOSE, before the form goes
    std::function<void()> on_destroy;

    HFONT font() const { return font_.get(); }
    void set_client_width(int width);
    SIZE client_size() const;
    void set_cancel_button(Button* button) { cancel_button_ = button; }
    void set_default_button(Button* button) { default_button_ = button; }

    // Menu items: a command id is assigned per item; shortcuts work whether or not the item is shown.
    HMENU menu_bar();
    HMENU add_submenu(HMENU parent, const std::wstring& caption);
    void add_menu_item(HMENU parent, const std::wstring& caption, std::function<void()> action);
    void add_menu_separator(HMENU parent);
    void add_shortcut(BYTE modifiers, WORD key,
                      std::function<void()> action);  // FALT, FCONTROL, FSHIFT | FVIRTKEY

    void show(int command = SW_SHOW) { ::ShowWindow(handle(), command); }
    bool preprocess_message(MSG& msg);

protected:
    void create_form(const Style& style);
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int next_command_id(std::function<void()> action);
    unique_font font_;
    unique_menu menu_;
    unique_handle<HACCEL, handle_traits<HACCEL, ::DestroyAcceleratorTable>> accelerators_;
    std::vector<ACCEL> accelerator_entries_;
    std::map<int, std::function<void()>> commands_;
    int last_command_ = 40000;
    Button* cancel_button_ = nullptr;
    Button* default_button_ = nullptr;
};

}  // namespace ui
