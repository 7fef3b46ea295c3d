#pragma once
// A drop-down list of colors, each shown as a swatch beside its name.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ui/ComboBox.h"

namespace ui {

class ColorBox : public ComboBox {
public:
    struct Entry {
        const wchar_t* name;
        std::uint32_t color;  // red in the low byte
    };
    void create(HWND parent, const Bounds& bounds, std::initializer_list<Entry> colors);
    // The chosen color; none when no entry is chosen.
    std::optional<std::uint32_t> selected_color() const;
    // Chooses the entry of the color, or none when no entry has it.
    void set_selected_color(std::uint32_t color);

    bool draw_item(const DRAWITEMSTRUCT& item) override;
    void rescale(int dpi) override;

private:
    void set_item_heights();
};

}  // namespace ui
