// Icons of the picked window on the Attributes page: shown, saved with "Save...", and read back by the
// platform's icon loader and by the imaging library's icon decoder.
#include <windows.h>

#include <doctest.h>
#include <wincodec.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/FileStream.h"
#include "ui/Handles.h"
#include "window/WindowIcons.h"

namespace {

std::wstring Hex(HWND window) {
    return HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

// Answers "Save..." with a file name of the test's choosing, or as a cancel.
struct AnsweringDialog : ui::SaveFileDialog {
    std::optional<std::wstring> answer;
    int asked = 0;
    std::vector<ui::FileFilter> filters;
    std::optional<std::wstring> execute(HWND, const std::vector<ui::FileFilter>& f) override {
        ++asked;
        filters = f;
        return answer;
    }
};

// An icon from bitmaps made here (deleted again: the icon keeps copies).
ui::unique_icon MakeIcon(int bits, int size, const std::vector<std::uint32_t>& color_rows_bottom_up,
                         const std::vector<std::uint8_t>& mask_rows_bottom_up) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[16];
    } info{};
    info.header = {sizeof info.header, size, size, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
    const std::uint32_t standard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                        0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                        0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};  // 0xRRGGBB
    for (int i = 0; i < 16; ++i)
        info.colors[i] = {static_cast<BYTE>(standard[i]), static_cast<BYTE>(standard[i] >> 8),
                          static_cast<BYTE>(standard[i] >> 16), 0};
    void* bits_out = nullptr;
    ui::unique_bitmap color(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                               &bits_out, nullptr, 0));
    REQUIRE(color);
    auto* out = static_cast<std::uint8_t*>(bits_out);
    if (bits == 32) {
        std::memcpy(out, color_rows_bottom_up.data(), color_rows_bottom_up.size() * 4);
    } else {
        // Indexes into the standard colors, two pixels a byte.
        const int stride = (size * 4 + 31) / 32 * 4;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const std::uint32_t index = color_rows_bottom_up[static_cast<std::size_t>(y * size + x)];
                out[y * stride + x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
            }
    }
    // CreateBitmap takes rows of 16 bits and top row first.
    const int mask_stride = IconMaskStride(size), word_stride = (size + 15) / 16 * 2;
    std::vector<std::uint8_t> top_down(static_cast<std::size_t>(word_stride * size));
    for (int y = 0; y < size; ++y)
        for (int i = 0; i < word_stride; ++i)
            top_down[static_cast<std::size_t>(y * word_stride + i)] =
                mask_rows_bottom_up[static_cast<std::size_t>((size - 1 - y) * mask_stride + i)];
    ui::unique_bitmap mask(::CreateBitmap(size, size, 1, 1, top_down.data()));
    ICONINFO icon{TRUE, 0, 0, mask.get(), color.get()};
    ui::unique_icon made(::CreateIconIndirect(&icon));
    REQUIRE(made);
    return made;
}

struct TestIcon {
    std::vector<std::uint32_t> pixels;  // colors (0xAARRGGBB) or indexes of the standard colors
    std::vector<std::uint8_t> mask;
    ui::unique_icon icon;
};

// A 32 x 32 mask whose eight columns from 8 * byte on are transparent.
std::vector<std::uint8_t> MaskWithColumns(std::size_t byte) {
    std::vector<std::uint8_t> mask(32 * 4, 0);
    for (std::size_t y = 0; y < 32; ++y) mask[y * 4 + byte] = 0xFF;
    return mask;
}

// 32 x 32, colors outside the 16 standard ones and an alpha that rises from the bottom row up; the
// right eight columns transparent in the mask as well.
TestIcon AlphaIcon() {
    TestIcon made{{}, MaskWithColumns(3), {}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            made.pixels.push_back(static_cast<std::uint32_t>(y * 8 + 7) << 24 | (x * 8) << 16 | 0x3000 |
                                  y * 5);
    made.icon = MakeIcon(32, 32, made.pixels, made.mask);
    return made;
}

// 32 x 32 in the 16 standard colors, its left eight columns transparent (and black there).
TestIcon SixteenColorIcon() {
    TestIcon made{{}, MaskWithColumns(0), {}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            made.pixels.push_back(x < 8 ? 0 : static_cast<std::uint32_t>(x / 2 + y) % 16);
    made.icon = MakeIcon(4, 32, made.pixels, made.mask);
    return made;
}

ui::unique_icon SolidIcon(int size, std::uint32_t argb) {
    return MakeIcon(32, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size * size), argb),
                    std::vector<std::uint8_t>(static_cast<std::size_t>(IconMaskStride(size) * size), 0));
}

// A popup of this thread that shows the given icons.
ui::unique_hwnd WindowWithIcons(HICON big, HICON small) {
    ui::unique_hwnd window(::CreateWindowExW(0, L"STATIC", L"icons", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                             nullptr, nullptr));
    ::SendMessageW(window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(window.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    return window;
}

bool FileExists(const std::wstring& name) {
    return ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<unsigned char> Bytes(const std::wstring& name) { return ui::read_file(name, 1 << 20); }

unsigned Word(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

// The file as the platform's icon loader reads it, in the pixels the writer starts from.
std::optional<TIconPixels> LoadedPixels(const std::wstring& name) {
    ui::unique_icon loaded(static_cast<HICON>(
        ::LoadImageW(nullptr, name.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTCOLOR)));
    if (!loaded) return std::nullopt;
    return ReadIconPixels(loaded.get());
}

// The file as the imaging library's decoder reads it: 0xAARRGGBB, top row first, not premultiplied.
std::vector<std::uint32_t> DecodedPixels(const std::wstring& name, UINT& width, UINT& height) {
    ui::com_scope com;
    ui::com_ptr<IWICImagingFactory> factory;
    ui::com_ptr<IWICBitmapDecoder> decoder;
    ui::com_ptr<IWICBitmapFrameDecode> frame;
    ui::com_ptr<IWICFormatConverter> converter;
    std::vector<std::uint32_t> pixels;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.put_void())) ||
        FAILED(factory->CreateDecoderFromFilename(
            name.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
            reinterpret_cast<IWICBitmapDecoder**>(decoder.put_void()))) ||
        FAILED(decoder->GetFrame(0, reinterpret_cast<IWICBitmapFrameDecode**>(frame.put_void()))) ||
        FAILED(
            factory->CreateFormatConverter(reinterpret_cast<IWICFormatConverter**>(converter.put_void()))) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)))
        return pixels;
    pixels.resize(static_cast<std::size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(pixels.data()))))
        pixels.clear();
    return pixels;
}

bool MaskSet(const std::vector<std::uint8_t>& mask, int x, int y_bottom_up) {
    return mask[static_cast<std::size_t>(y_bottom_up * IconMaskStride(32) + x / 8)] & (0x80 >> (x % 8));
}

struct IconPage {
    IconPage() {
        ClearSettings();
        auto answering = std::make_unique<AnsweringDialog>();
        dialog = answering.get();
        form.Attributes.SaveDialog = std::move(answering);
    }
    void Save(const std::wstring& name) {
        dialog->answer = name;
        ::SendMessageW(form.Attributes.ButtonSaveIcon.handle(), BM_CLICK, 0, 0);
    }
    CollectedErrors errors;
    TempFolder folder;
    TMainForm form;
    AnsweringDialog* dialog = nullptr;
};

}  // namespace

TEST_CASE_FIXTURE(IconPage, "\"Save...\" before a window was picked asks for a name and writes nothing") {
    const std::wstring name = folder.path() + L"nothing.ico";
    Save(name);
    CHECK(dialog->asked == 1);
    REQUIRE(dialog->filters.size() == 1);
    CHECK(dialog->filters[0].description == L"Icons");
    CHECK(dialog->filters[0].patterns == L"*.ico");
    CHECK_FALSE(FileExists(name));
    CHECK(errors.texts().empty());
}

TEST_CASE_FIXTURE(IconPage, "a true-color icon with alpha is saved at 32 bits and reads back unchanged") {
    const TestIcon alpha = AlphaIcon();
    ui::unique_icon small = SolidIcon(16, 0xFF00C800);
    ui::unique_hwnd window = WindowWithIcons(alpha.icon.get(), small.get());
    form.EditHandle.set_text(Hex(window.get()));
    CHECK(form.Attributes.IconBig.icon() == alpha.icon.get());
    CHECK(form.Attributes.IconSmall.icon() == small.get());

    // The small icon sits in the middle of its 32 x 32 picture.
    const std::vector<std::uint32_t> shown =
        PrintedClient(form.Attributes.IconSmall.handle(), 32, 32, 0xFF00FF);
    const auto at = [&](int x, int y) { return shown[static_cast<std::size_t>(y * 32 + x)]; };
    CHECK(at(8, 8) == 0x00C800);
    CHECK(at(23, 23) == 0x00C800);
    CHECK(at(7, 7) != 0x00C800);
    CHECK(at(24, 24) != 0x00C800);

    // The name as it was entered: no extension is added.
    const std::wstring name = folder.path() + L"alpha icon";
    Save(name);
    REQUIRE(errors.texts().empty());
    const std::vector<unsigned char> bytes = Bytes(name);
    CHECK(Word(bytes, 2) == 1);    // an icon
    CHECK(Word(bytes, 4) == 1);    // of one image
    CHECK(Word(bytes, 12) == 32);  // bits a pixel
    CHECK(bytes.size() == 22 + 40 + 32 * 32 * 4 + 4 * 32);

    const std::optional<TIconPixels> loaded = LoadedPixels(name);
    REQUIRE(loaded);
    CHECK(loaded->Width == 32);
    CHECK(loaded->Color == alpha.pixels);
    CHECK(loaded->Mask == alpha.mask);

    UINT width = 0, height = 0;
    const std::vector<std::uint32_t> decoded = DecodedPixels(name, width, height);
    REQUIRE(decoded.size() == 32 * 32);
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            differing += decoded[static_cast<std::size_t>((31 - y) * 32 + x)] !=
                         alpha.pixels[static_cast<std::size_t>(y * 32 + x)];
    CHECK(differing == 0);
}

TEST_CASE_FIXTURE(IconPage, "a 16-color icon keeps its 4-bit layout with the image at offset 22") {
    const TestIcon sixteen = SixteenColorIcon();
    ui::unique_hwnd window = WindowWithIcons(sixteen.icon.get(), nullptr);
    form.EditHandle.set_text(Hex(window.get()));
    // The platform hands out its color bitmap without alpha, so it is not taken for a true-color one.
    const std::optional<TIconPixels> original = ReadIconPixels(sixteen.icon.get());
    REQUIRE(original);
    CHECK(IconFileFormatFor(*original) == ifColors16);

    const std::wstring name = folder.path() + L"sixteen.ico";
    Save(name);
    REQUIRE(errors.texts().empty());
    const std::vector<unsigned char> bytes = Bytes(name);
    CHECK(bytes.at(6) == 32);
    CHECK(bytes.at(7) == 32);
    CHECK(Word(bytes, 8) == 4);
    CHECK(Word(bytes, 18) == 22);
    CHECK(Word(bytes, 22 + 14) == 4);  // the image's own bits a pixel
    CHECK(bytes.size() == 22 + 40 + 16 * 4 + 32 * 16 + 4 * 32);

    const std::optional<TIconPixels> loaded = LoadedPixels(name);
    REQUIRE(loaded);
    CHECK(loaded->Color == original->Color);
    CHECK(loaded->Mask == sixteen.mask);

    UINT width = 0, height = 0;
    const std::vector<std::uint32_t> decoded = DecodedPixels(name, width, height);
    REQUIRE(decoded.size() == 32 * 32);
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t pixel = decoded[static_cast<std::size_t>((31 - y) * 32 + x)];
            const std::uint32_t expected =
                MaskSet(sixteen.mask, x, y)
                    ? 0
                    : (original->Color[static_cast<std::size_t>(y * 32 + x)] | 0xFF000000);
            differing += MaskSet(sixteen.mask, x, y) ? (pixel >> 24) != 0 : pixel != expected;
        }
    CHECK(differing == 0);
}

TEST_CASE_FIXTURE(IconPage,
                  "a hung window clears the icons; saving then reports an invalid icon, writing nothing") {
    FixtureProcess fixture(L"window_fixture.exe");
    const TestIcon alpha = AlphaIcon();
    ui::unique_hwnd window = WindowWithIcons(alpha.icon.get(), alpha.icon.get());
    form.EditHandle.set_text(Hex(window.get()));
    REQUIRE(form.Attributes.IconBig.icon());

    fixture.hang("hangframe", 3000);
    form.EditHandle.set_text(Hex(fixture.window("hangframe")));
    CHECK(form.Attributes.IconBig.icon() == nullptr);
    CHECK(form.Attributes.IconSmall.icon() == nullptr);
    const std::wstring name = folder.path() + L"hung.ico";
    Save(name);
    CHECK(errors.texts() == std::vector<std::wstring>{L"Icon image is not valid."});
    CHECK_FALSE(FileExists(name));

    // The icons that were shown belong to their window and are still whole.
    ICONINFO info{};
    REQUIRE(::GetIconInfo(alpha.icon.get(), &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST_CASE_FIXTURE(IconPage, "a file that cannot be created reports the platform's error") {
    const TestIcon alpha = AlphaIcon();
    ui::unique_hwnd window = WindowWithIcons(alpha.icon.get(), nullptr);
    form.EditHandle.set_text(Hex(window.get()));
    const std::wstring name = folder.path() + L"no such folder\\icon.ico";
    Save(name);
    CHECK(errors.texts() == std::vector<std::wstring>{L"Cannot create file \"" + name + L"\". " +
                                                      ui::system_error_message(ERROR_PATH_NOT_FOUND)});
}
