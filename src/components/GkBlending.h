#pragma once
// Fades a picture in from a background color: each drawing mixes the two by an alpha from 0 to 255
// into a bitmap that a picture control shows.
#include <windows.h>

#include <cstdint>

#include "ui/Controls.h"
#include "ui/Handles.h"

class TGkBlend {
public:
    // The picture is copied; the target shows a bitmap of the picture's size from now on.
    TGkBlend(HBITMAP picture, ui::Picture& target, COLORREF background);
    TGkBlend(const TGkBlend&) = delete;
    TGkBlend& operator=(const TGkBlend&) = delete;

    void Draw(int alpha);
    // What the target shows.
    HBITMAP Target() const { return target_bitmap_.get(); }
    SIZE Size() const { return size_; }

private:
    struct Dib {
        ui::unique_bitmap bitmap;
        std::uint8_t* bits = nullptr;
    };
    Dib MakeDib() const;

    SIZE size_{};
    int stride_ = 0;
    Dib source_, work_;
    ui::unique_bitmap target_bitmap_;
    ui::Picture& target_;
    COLORREF background_;
};
