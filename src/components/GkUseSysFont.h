#pragma once
// Puts a form into the system's font while its controls keep what sets their font apart from the
// default: a bold title keeps its font, a blue underlined link stays blue and underlined in the
// system's face and size, also when the system font changes later.
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/Form.h"
#include "ui/WindowHook.h"

class TGkUseSysFont {
public:
    explicit TGkUseSysFont(ui::Form& owner) : owner_(owner) {}
    TGkUseSysFont(const TGkUseSysFont&) = delete;
    TGkUseSysFont& operator=(const TGkUseSysFont&) = delete;

    // Every direct child takes the system font, whatever its own.
    bool ForceSystemFont = false;

    // Right after the form's creation handler: the form takes the desktop font; each direct child in
    // the default font (or in the desktop font already, or with ForceSystemFont) takes it too; a
    // child in "MS Sans Serif" of another size, color or style takes the system face and keeps those,
    // now and at every change of the system font; any other child keeps its font.
    void FormCreated();

private:
    // The filter in front of a kept control's procedure.
    static LRESULT KeepDifferences(ui::Control& control, const ui::WindowHook::Call& call);

    ui::Form& owner_;
    std::vector<std::unique_ptr<ui::WindowHook>> filters_;
};
