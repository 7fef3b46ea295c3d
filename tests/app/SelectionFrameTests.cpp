// The selection frame: read back from the screen over the fixture's white windows, and its region
// arithmetic painted into a bitmap where Wine cannot show it (covered parts stay in a window's system
// region under Wine, so "cut off hidden parts" and "frame visible region" look like "show completely").
#include <windows.h>

#include <doctest.h>

#include <optional>
#include <vector>

#include "app/FinderInput.h"
#include "app/SelectionFrame.h"
#include "support/FixtureProcess.h"

using namespace finder_test;

namespace {

constexpr COLORREF White = RGB(255, 255, 255), Red = RGB(255, 0, 0);
constexpr std::uint32_t RedColor = 0x0000FF;  // library colors keep red in the low byte

ui::unique_region Rect(int left, int top, int right, int bottom) {
    return ui::unique_region(::CreateRectRgn(left, top, right, bottom));
}

// A white 64x48 bitmap to paint into.
class Canvas {
public:
    Canvas() {
        ui::released_dc screen(nullptr);
        dc_.reset(::CreateCompatibleDC(screen.get()));
        bitmap_.reset(::CreateCompatibleBitmap(screen.get(), 64, 48));
        old_ = ::SelectObject(dc_.get(), bitmap_.get());
        RECT all{0, 0, 64, 48};
        ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() { ::SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    COLORREF at(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }
    // The painted pixels, as a picture: '#' for red, '.' for white, '?' otherwise.
    std::vector<std::string> rows(int left, int top, int right, int bottom) const {
        std::vector<std::string> picture;
        for (int y = top; y < bottom; ++y) {
            std::string row;
            for (int x = left; x < right; ++x) row += at(x, y) == Red ? '#' : at(x, y) == White ? '.' : '?';
            picture.push_back(row);
        }
        return picture;
    }

private:
    ui::unique_memory_dc dc_;
    ui::unique_bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

using Picture = std::vector<std::string>;

}  // namespace

TEST_CASE(
    "painting a frame region: a 3-pixel outline inside the border, or a fill, undone by painting "
    "again") {
    const long before = ui::live_gdi_objects();
    {
        Canvas canvas;
        auto region = Rect(2, 2, 10, 9), clip = Rect(0, 0, 64, 48);
        PaintFrameRegion(canvas.dc(), region.get(), clip.get(), Red, false);
        CHECK(canvas.rows(1, 1, 11, 10) == Picture{
                                               "..........",
                                               ".########.",
                                               ".########.",
                                               ".########.",
                                               ".###..###.",
                                               ".########.",
                                               ".########.",
                                               ".########.",
                                               "..........",
                                           });
        PaintFrameRegion(canvas.dc(), region.get(), clip.get(), Red, false);
        CHECK(canvas.rows(0, 0, 64, 48) == Canvas().rows(0, 0, 64, 48));

        PaintFrameRegion(canvas.dc(), region.get(), clip.get(), Red, true);
        CHECK(canvas.at(5, 5) == Red);
        CHECK(canvas.at(10, 9) == White);
        PaintFrameRegion(canvas.dc(), region.get(), clip.get(), Red, true);
        CHECK(canvas.at(5, 5) == White);

        // Black on white shows black; the mix is the inverse of pixel XOR color.
        PaintFrameRegion(canvas.dc(), region.get(), clip.get(), RGB(0, 0, 0), true);
        CHECK(canvas.at(5, 5) == RGB(0, 0, 0));
    }
    CHECK(ui::live_gdi_objects() == before);
}

TEST_CASE("frame types on a half-covered window: the clip or the painted region is its visible part") {
    // A window at (0, 0)-(20, 12) whose right part from x = 12 on is covered by another window.
    auto shape = Rect(0, 0, 20, 12), visible = Rect(0, 0, 12, 12), finder_clip = Rect(0, 0, 63, 47);
    struct {
        const char* name;
        HRGN painted, clip;
        Picture expected;
    } cases[] = {
        {"show completely: the whole outline, also over the covering window",
         shape.get(),
         finder_clip.get(),
         {"####################", "####################", "####################", "###..............###",
          "###..............###", "###..............###", "###..............###", "###..............###",
          "###..............###", "####################", "####################", "####################"}},
        {"cut off hidden parts: only the uncovered part of the outline",
         shape.get(),
         visible.get(),
         {"############........", "############........", "############........", "###.................",
          "###.................", "###.................", "###.................", "###.................",
          "###.................", "############........", "############........", "############........"}},
        {"frame visible region: an edge along the covering window",
         visible.get(),
         finder_clip.get(),
         {"############........", "############........", "############........", "###......###........",
          "###......###........", "###......###........", "###......###........", "###......###........",
          "###......###........", "############........", "############........", "############........"}},
    };
    for (const auto& c : cases) {
        CAPTURE(c.name);
        Canvas canvas;
        PaintFrameRegion(canvas.dc(), c.painted, c.clip, Red, false);
        CHECK(canvas.rows(0, 0, 20, 12) == c.expected);
    }
}

TEST_CASE("the finder's clip region: the primary screen less its last column and row and Scrutel's window") {
    auto own = Rect(100, 100, 300, 200);
    auto clip = MakeFinderClipRegion({1280, 1024}, own.get());
    struct {
        POINT at;
        bool inside;
    } cases[] = {
        {{0, 0}, true},      {{1278, 1022}, true}, {{1279, 500}, false}, {{500, 1023}, false},
        {{100, 100}, false}, {{299, 199}, false},  {{300, 150}, true},   {{99, 150}, true},
    };
    for (const auto& c : cases) {
        CAPTURE(c.at.x);
        CAPTURE(c.at.y);
        CHECK((::PtInRegion(clip.get(), c.at.x, c.at.y) != FALSE) == c.inside);
    }
    // The parts of Scrutel's window beyond the screen do not join the clip region.
    auto beyond = Rect(-200, 100, 50, 200);
    auto clip2 = MakeFinderClipRegion({1280, 1024}, beyond.get());
    CHECK_FALSE(::PtInRegion(clip2.get(), -100, 150));
    CHECK_FALSE(::PtInRegion(clip2.get(), 10, 150));
    CHECK(FrameColor(0x00123456) == 0x00123456);
    CHECK(FrameColor(0xFF000005) == ::GetSysColor(COLOR_WINDOW));
}

TEST_CASE(
    "frames on the screen: outline and fill in the frame color on white, a rounded region, bounds of a "
    "windowless control, never over Scrutel") {
    FinderScene scene;
    TMainForm& form = scene.form;
    FixtureProcess& fixture = scene.fixture;
    HWND white = fixture.window("white"), rounded = fixture.window("rounded");
    REQUIRE(PaintedWhite(white));
    REQUIRE(PaintedWhite(rounded));

    TSelectionFrame frame;
    frame.PrepareFinderClipRegion(form.handle());
    struct {
        const char* name;
        std::uint8_t type;
        bool fill;
        std::optional<RECT> bounds;
        std::vector<std::pair<POINT, COLORREF>> pixels;  // offsets from the window's corner
    } cases[] = {
        {"outline", 0, false, {}, {{{0, 0}, Red}, {{2, 2}, Red}, {{3, 3}, White}, {{199, 149}, Red}}},
        {"filled", 0, true, {}, {{{0, 0}, Red}, {{100, 75}, Red}, {{199, 149}, Red}}},
        {"type 1 on an uncovered window", 1, false, {}, {{{1, 1}, Red}, {{100, 75}, White}}},
        {"type 2 on an uncovered window", 2, false, {}, {{{1, 1}, Red}, {{100, 75}, White}}},
        {"windowless control",
         0,
         false,
         RECT{20, 30, 80, 70},
         {{{20, 30}, Red}, {{79, 69}, Red}, {{25, 35}, White}, {{1, 1}, White}, {{19, 30}, White}}},
    };
    for (const auto& c : cases) {
        CAPTURE(c.name);
        const TFrameSettings settings{c.type, RedColor, c.fill};
        frame.DrawSelectionFrame(white, c.bounds, settings);
        CHECK(frame.ShownWindow() == white);
        for (const auto& [offset, color] : c.pixels)
            CHECK(ScreenPixel(Offset(white, offset.x, offset.y)) == color);
        frame.DrawSelectionFrame(white, c.bounds, settings);
        CHECK_FALSE(frame.Shown());
        for (const auto& [offset, color] : c.pixels)
            CHECK(ScreenPixel(Offset(white, offset.x, offset.y)) == White);
    }

    // The rounded window: the outline follows its region, the corners outside it stay as they were.
    const COLORREF corner = ScreenPixel(Offset(rounded, 1, 1));
    auto shape = ShapeRegion(rounded, std::nullopt);
    auto expected = Rect(0, 0, 0, 0);
    ::GetWindowRgn(rounded, expected.get());
    ::OffsetRgn(expected.get(), 720, 600);
    CHECK(::EqualRgn(shape.get(), expected.get()));
    for (std::uint8_t type : {0, 1}) {
        CAPTURE(type);
        const TFrameSettings settings{type, RedColor, false};
        frame.DrawSelectionFrame(rounded, std::nullopt, settings);
        CHECK(ScreenPixel(Offset(rounded, 100, 1)) == Red);
        CHECK(ScreenPixel(Offset(rounded, 1, 75)) == Red);
        CHECK(ScreenPixel(Offset(rounded, 1, 1)) == corner);
        CHECK(ScreenPixel(Offset(rounded, 100, 75)) == White);
        frame.EraseSelectionFrame();
        CHECK(ScreenPixel(Offset(rounded, 100, 1)) == White);
    }

    // Scrutel's window over the white window's left part: the frame stays off it.
    ::SetWindowPos(form.handle(), HWND_TOP, 520, 380, 0, 0, SWP_NOSIZE);
    // Sample Scrutel's pixels only once it and the window it uncovered have painted at their new places.
    ::RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle();
    RECT own{};
    ::GetWindowRect(form.handle(), &own);
    REQUIRE(own.right > 730);
    REQUIRE(own.right < 900);
    const POINT under_scrutel{own.right - 5, 421}, uncovered{own.right + 10, 421};
    const COLORREF scrutel_pixel = ScreenPixel(under_scrutel);
    frame.PrepareFinderClipRegion(form.handle());
    frame.DrawSelectionFrame(white, std::nullopt, TFrameSettings{0, RedColor, false});
    CHECK(ScreenPixel(uncovered) == Red);
    CHECK(ScreenPixel(under_scrutel) == scrutel_pixel);
    frame.EraseSelectionFrame();
    CHECK(ScreenPixel(uncovered) == White);
    frame.DeleteFinderClipRegion();

    // Without the clip region (outside a drag) nothing is drawn.
    frame.DrawSelectionFrame(white, std::nullopt, TFrameSettings{0, RedColor, false});
    CHECK(ScreenPixel(Offset(white, 198, 1)) == White);
    CHECK_FALSE(frame.Shown());
}

TEST_CASE("OffsetRegionToWindow and the shape of a window that is gone") {
    FixtureProcess fixture(L"window_fixture.exe");
    HWND white = fixture.window("white");
    auto region = Rect(0, 0, 10, 10);
    CHECK(OffsetRegionToWindow(white, ::GetDesktopWindow(), region.get()));
    RECT box{};
    ::GetRgnBox(region.get(), &box);
    CHECK(box.left == 720);
    CHECK(box.top == 420);
    CHECK(OffsetRegionToWindow(::GetDesktopWindow(), white, region.get()));
    ::GetRgnBox(region.get(), &box);
    CHECK(box.left == 0);

    HWND gone =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 5, 5, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    CHECK_FALSE(OffsetRegionToWindow(gone, ::GetDesktopWindow(), region.get()));
    for (const std::optional<RECT>& bounds :
         {std::optional<RECT>{}, std::optional<RECT>{RECT{20, 30, 80, 70}}}) {
        auto shape = ShapeRegion(gone, bounds);
        CHECK(::GetRgnBox(shape.get(), &box) == NULLREGION);
    }
}
