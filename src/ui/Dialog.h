#pragma once
// A form shown modally over another: the owner takes no input until the dialog closes.
#include <windows.h>

#include "ui/Form.h"

namespace ui {

class Dialog : public Form {
public:
    // Shows the form centred on its owner and handles the messages of the program until close_modal
    // (or the form's close button, which gives IDCANCEL); then hides it and answers the result.
    int show_modal(HWND owner);
    void close_modal(int result);
    bool showing_modal() const { return modal_; }

protected:
    // Once the form is on the screen: where the focus starts.
    virtual void shown() {}
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void centre_on(HWND owner);
    bool modal_ = false;
    int result_ = 0;
};

}  // namespace ui
