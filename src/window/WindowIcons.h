#pragma once
// The picked window's icons: their pixels as the platform hands them out, and the large icon saved as
// an icon file that keeps its colors and transparency.
#include <windows.h>

#include <optional>
#include <string>

#include "ui/Exceptions.h"
#include "window/IconFile.h"

class EInvalidGraphic : public ui::Exception {
public:
    EInvalidGraphic() : ui::Exception(L"Icon image is not valid") {}
};

// The color and mask pixels of an icon (a monochrome icon's image in black and white); nullopt for 0,
// for a handle the platform does not describe as an icon of this process, or for an unusable size.
// The icon itself is left alone: it belongs to the window that shows it.
std::optional<TIconPixels> ReadIconPixels(HICON icon);

// Writes the icon to the file name as given, replacing a file of that name. Throws EInvalidGraphic
// (before any file is touched) when the icon cannot be read, ui::EFCreateError when the file cannot be
// created, ui::EWriteError when it cannot be written whole.
void SaveIconToFile(HICON icon, const std::wstring& file_name);
