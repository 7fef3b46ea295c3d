#pragma once
// Remembers where a form's window was: the stored position, size and show state are put back when the
// form is made, and stored again (or deleted, when saving is off) when the window receives the close
// request. A window that goes without that request stores nothing.
#include <windows.h>

#include <string>

#include "ui/Form.h"
#include "ui/WindowHook.h"

class TGkPositionRestore {
public:
    // form_name names the form's key below "Position" (the main window's is "MainForm").
    TGkPositionRestore(ui::Form& owner, std::wstring form_name);
    TGkPositionRestore(const TGkPositionRestore&) = delete;
    TGkPositionRestore& operator=(const TGkPositionRestore&) = delete;

    // Company and product name the key "Software\<Company>\<Product>" below HKEY_CURRENT_USER; the
    // product is the program file's name without its extension unless set.
    const std::wstring& Company() const { return company_; }
    const std::wstring& Product() const { return product_; }
    void SetCompany(std::wstring company) { company_ = std::move(company); }
    void SetProduct(std::wstring product) { product_ = std::move(product); }
    std::wstring Key() const { return L"Software\\" + company_ + L"\\" + product_; }
    std::wstring PositionKey() const { return Key() + L"\\Position\\" + form_name_; }

    // Store the position at the close request; false deletes the stored position instead.
    bool SavePosition = true;
    // Whether Loaded found a complete stored position: "Left", "Top", "WindowState", and for a sizeable
    // form "Width" and "Height". A position outside every display's work area (a display that was
    // removed) is not applied, the form opening where the system puts it, but counts as found, so that
    // the next close stores where the window really is.
    bool Restored() const { return restored_; }

    // The restore step, when the form's window and controls exist and before its creation handler
    // runs; also puts the save step in front of the window's procedure.
    void Loaded();

private:
    LRESULT FormMessage(const ui::WindowHook::Call& call);
    void Save();

    ui::Form& owner_;
    std::wstring form_name_;
    std::wstring company_ = L"Orvane";
    std::wstring product_;
    bool restored_ = false;
    ui::WindowHook hook_;
};

// The program file's name without its folder and extension.
std::wstring ProgramBaseName();
// Whether a rectangle in workspace coordinates (as window placements give them) overlaps the work
// area of any display.
bool OnAnyWorkArea(const RECT& workspace_rect);
