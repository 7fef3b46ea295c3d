#pragma once
// A read-only list view in report style that owns no copy of its rows: it asks for each cell's text
// when it shows it, so a list of any length is filled at once. Grid lines, whole-row selection of one
// or many rows, column headers that do not sort. Ctrl+A selects every row; Ctrl+C copies the selected
// rows (all rows when none is selected) as TAB-separated lines, the column captions first.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class ReportListView : public Control {
public:
    // The text of one cell; the list asks whenever it draws or copies a row.
    std::function<std::wstring(int row, int column)> cell_text;

    void create(HWND parent, const Bounds& bounds);

    int column_count() const;
    std::wstring column_caption(int column) const;
    // Gives the list these captions: columns beyond them go, missing ones are added. The first column
    // keeps its width (first_width when it is new); the others share what is left (fit_columns).
    void set_columns(const std::vector<std::wstring>& captions, int first_width);
    // Drops the columns from `count` on.
    void keep_columns(int count);
    // The columns after the first share the client width the first leaves, each at least as wide as
    // its caption.
    void fit_columns();

    // Sets the number of rows and shows them afresh; the selection is cleared.
    void set_row_count(int rows);
    int row_count() const;
    std::vector<int> selected_rows() const;
    void select_all();
    // The rows Ctrl+C copies, as text: captions, then the selected rows or all rows, each line ending
    // in CR LF.
    std::wstring copy_text() const;
    bool copy_to_clipboard() const;

    bool notify(const NMHDR& header, LRESULT& result) override;

private:
    int caption_width(const std::wstring& caption) const;
};

}  // namespace ui
