#pragma once
// Resource ids of Scrutel.exe, shared by Scrutel.rc and the code. The pictures are drawn by
// make_images.py at build time.

// Finder pictures, 31x28, 4-bit over the standard 16-color palette: white, silver, gray, black, blue
// and lime are meant to be replaced by system colors when loaded.
#define IDB_FINDER_IDLE 1  // a window with a cross-hair in it
#define IDB_FINDER_DRAG 2  // the same window, empty: the cross-hair is in the cursor

// 24-bit strips whose transparent pixels are fuchsia (RGB 255, 0, 255).
#define IDB_PIN 3   // four 16x16 glyphs of the stay-on-top pin: up, disabled, down, held
#define IDB_TABS 4  // six 16x16 tab pictures, in the order of the IMAGE_TAB_ indexes below
#define IMAGE_TAB_ATTRIBUTES 0
#define IMAGE_TAB_DELPHI_VCL 1
#define IMAGE_TAB_COLOR 2
#define IMAGE_TAB_LINK 3
#define IMAGE_TAB_PEINFO 4
#define IMAGE_TAB_SPARE 5  // a window tree, for a page without a picture of its own

// The about box's logo, 61x32, 24-bit on white: the picture the box fades in and out.
#define IDB_LOGO 5

// Monochrome 32x32 cursors, numbered as the application's cursor list numbers them.
#define IDC_FINDER 1   // cross-hair, hot spot (15, 16)
#define IDC_PIPETTE 2  // pipette, hot spot (8, 23) on its tip

// Icons. The application icon has the lowest id, so the shell shows it for Scrutel.exe.
#define IDI_SCRUTEL 1
#define IDI_PIPETTE_FULL 2   // 32x32, the pipette resting on a color palette
#define IDI_PIPETTE_EMPTY 3  // the palette alone, while the pipette is in the cursor
#define IDI_WEB_UNSAFE 4     // 32x32, shown beside a color that is not web-safe
