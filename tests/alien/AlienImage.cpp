#include "alien/AlienImage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/ValueText.h"

namespace {

class MemoryView : public ByteSource {
public:
    explicit MemoryView(TAlienMemory* memory) : memory_(memory) {}
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override {
        return memory_ ? memory_->read(offset, into, size) : 0;
    }

private:
    TAlienMemory* memory_;
};

}  // namespace

// ---- TAlienMemory

std::size_t TAlienMemory::read(std::uint64_t offset, void* into, std::size_t size) {
    ++Reads;
    if (offset < Base || offset >= End()) return 0;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size, End() - offset));
    std::memcpy(into, bytes_.data() + (offset - Base), count);
    return count;
}

std::uint32_t TAlienMemory::Allocate(std::size_t size) {
    const std::size_t at = (bytes_.size() + 15) & ~std::size_t{15};
    bytes_.resize(at + size);
    return Base + static_cast<std::uint32_t>(at);
}

void TAlienMemory::Write(std::uint32_t at, const void* bytes, std::size_t size) {
    if (size == 0) return;
    if (at < Base || at - Base + size > bytes_.size()) throw std::out_of_range("write outside the image");
    std::memcpy(bytes_.data() + (at - Base), bytes, size);
}

std::uint32_t TAlienMemory::ShortString(const std::string& text) {
    const std::uint32_t at = Allocate(text.size() + 1);
    Put8(at, static_cast<std::uint8_t>(text.size()));
    PutBytes(at + 1, text);
    return at;
}

std::uint32_t TAlienMemory::LongString(const std::string& text) {
    if (text.empty()) return 0;
    const std::uint32_t at = Allocate(8 + text.size() + 1) + 8;
    Put32(at - 4, static_cast<std::uint32_t>(text.size()));
    PutBytes(at, text);
    return at;
}

std::uint32_t TAlienMemory::PChar(const std::string& text) {
    if (text.empty()) return 0;
    const std::uint32_t at = Allocate(text.size() + 1);
    PutBytes(at, text);
    return at;
}

// ---- TVclImage

TVclImage::TVclImage(int version) : Version(version) {
    TObject = Class("TObject", 0);
    TComponent = Class("TComponent", Class("TPersistent", TObject));
    TControl = Class("TControl", TComponent);
    std::uint32_t size = 500;
    std::uint16_t entries = 0;
    if (version == 5) size = 492;
    if (version == 6 || version == 7) size = 516, entries = version == 6 ? 104 : 105;
    TWinControl = Class("TWinControl", TControl, size, entries);
    TForm = Class("TForm", Class("TCustomForm", Class("TScrollingWinControl", TWinControl)));
    TButton = Class("TButton", Class("TButtonControl", TWinControl));
    TLabel = Class("TLabel", Class("TCustomLabel", Class("TGraphicControl", TControl)));
}

std::uint32_t TVclImage::Class(const std::string& name, std::uint32_t parent, std::uint32_t instance_size,
                               std::uint16_t dynamic_entries) {
    const std::uint32_t cell = parent ? Memory.Allocate(4) : 0;
    if (cell) Memory.Put32(cell, parent);
    const std::uint32_t name_text = Memory.ShortString(name);
    if (Version == 3) {
        const std::uint32_t record = Memory.Allocate(64 + 16) + 64;
        Memory.Put32(record - 64, record);
        Memory.Put32(record - 32, name_text);
        Memory.Put32(record - 24, cell);
        return record;
    }
    const std::uint32_t table = Memory.Allocate(2 + 6 * dynamic_entries);
    Memory.Put16(table, dynamic_entries);
    const std::uint32_t record = Memory.Allocate(76 + 16) + 76;
    Memory.Put32(record - 76, record);
    Memory.Put32(record - 48, table);
    Memory.Put32(record - 44, name_text);
    Memory.Put32(record - 40, instance_size);
    Memory.Put32(record - 36, cell);
    return record;
}

std::uint32_t TVclImage::Offset(TField field) const { return OffsetIn(Version, field); }

void TVclImage::Put32(std::uint32_t object, TField field, std::uint32_t value) {
    Memory.Put32(object + Offset(field), value);
}

std::uint32_t TVclImage::Control(const TControlSpec& shape) {
    const std::uint32_t object = Memory.Allocate(vcl::ObjectSize);
    Memory.Put32(object, shape.Class);
    Put32(object, vcl::Owner, shape.Owner);
    Put32(object, vcl::Name, Memory.LongString(shape.Name));
    Memory.Put16(object + Offset(vcl::State), shape.State);
    Put32(object, vcl::Parent, shape.Parent);
    Put32(object, vcl::Left, static_cast<std::uint32_t>(shape.Left));
    Put32(object, vcl::Top, static_cast<std::uint32_t>(shape.Top));
    Put32(object, vcl::Width, static_cast<std::uint32_t>(shape.Width));
    Put32(object, vcl::Height, static_cast<std::uint32_t>(shape.Height));
    Put32(object, vcl::Style, shape.Style);
    Memory.Put8(object + Offset(vcl::Visible), shape.Visible);
    Memory.Put8(object + Offset(vcl::Enabled), shape.Enabled);
    Put32(object, vcl::Text, Memory.PChar(shape.Text));
    Put32(object, vcl::FontField, shape.Font);
    return object;
}

std::uint32_t TVclImage::WinControl(const TControlSpec& shape) {
    const std::uint32_t object = Control(shape);
    Put32(object, vcl::Controls, List(shape.Children));
    Put32(object, vcl::Handle, shape.Handle);
    return object;
}

std::uint32_t TVclImage::Font(const TFontSpec& shape) {
    const std::uint32_t resource = Memory.Allocate(28 + std::max<std::size_t>(shape.Face.size(), 32));
    Memory.Put32(resource + 20, static_cast<std::uint32_t>(shape.Height));
    Memory.Put8(resource + 25, shape.Style);
    Memory.Put8(resource + 27, static_cast<std::uint8_t>(shape.Face.size()));
    Memory.PutBytes(resource + 28, shape.Face);
    const std::uint32_t font = Memory.Allocate(40);
    Put32(font, vcl::Resource, resource);
    Put32(font, vcl::Color, shape.Color);
    Put32(font, vcl::PixelsPerInch, static_cast<std::uint32_t>(shape.PixelsPerInch));
    return font;
}

std::uint32_t TVclImage::List(const std::vector<std::uint32_t>& items) {
    const std::uint32_t list = Memory.Allocate(16);
    const std::uint32_t array = Memory.Allocate(4 * items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        Memory.Put32(array + 4 * static_cast<std::uint32_t>(i), items[i]);
    Memory.Put32(list + 4, array);
    Memory.Put32(list + 8, static_cast<std::uint32_t>(items.size()));
    return list;
}

// ---- TAlienImagePlatform

std::uint32_t TAlienImagePlatform::ThreadProcessOf(std::uint32_t window, std::uint32_t& process_id) {
    auto found = Windows.find(window);
    process_id = found == Windows.end() ? 0 : found->second.Process;
    return found == Windows.end() ? 0 : found->second.Thread;
}

std::uint32_t TAlienImagePlatform::InstanceOf(std::uint32_t window) {
    auto found = Windows.find(window);
    return found == Windows.end() ? 0 : found->second.Instance;
}

std::uint32_t TAlienImagePlatform::RegisterMessage(const std::string& name) {
    return Messages.emplace(name, 0xC000 + static_cast<std::uint32_t>(Messages.size())).first->second;
}

std::unique_ptr<ByteSource> TAlienImagePlatform::OpenForReading(std::uint32_t process_id) {
    return std::make_unique<MemoryView>(process_id == process_ ? &memory_ : nullptr);
}

std::uint32_t TAlienImagePlatform::PropertyByAtomName(std::uint32_t window, const std::string& atom_name) {
    auto found = Windows.find(window);
    if (found == Windows.end()) return 0;
    const TAlienWindow& w = found->second;
    if (atom_name == "Delphi" + HexText8<char>(w.Process)) return w.Marked ? 1 : 0;
    if (atom_name == "ControlOfs" + HexText8<char>(w.Instance) + HexText8<char>(w.Thread)) return w.Object;
    return 0;
}

std::uint32_t TAlienImagePlatform::QueryObject(std::uint32_t window, std::uint32_t message) {
    auto found = Windows.find(window);
    if (found == Windows.end() || !found->second.Answers) return 0;
    const TAlienWindow& w = found->second;
    auto registered = Messages.find("ControlOfs" + HexText8<char>(w.Instance) + HexText8<char>(w.Thread));
    if (registered == Messages.end() || registered->second != message) return 0;
    return w.Answer ? w.Answer : w.Object;
}

TAlienRect TAlienImagePlatform::ClientRectOf(std::uint32_t window) {
    auto found = Windows.find(window);
    return found == Windows.end() ? TAlienRect{} : found->second.Client;
}

std::string TAlienImagePlatform::WindowText(std::uint32_t window) {
    auto found = Windows.find(window);
    return found == Windows.end() ? std::string() : found->second.Text;
}

// ---- TAlienProgram

TAlienProgram::TAlienProgram(int version) : Image(version), Platform(Image.Memory) {
    TFontSpec font;
    font.Style = 0x01;
    if (version == 7) font.Color = 0xFF000008;
    ButtonFont = Image.Font(font);
    Form = Image.WinControl({.Class = Image.TForm,
                             .Name = "Form1",
                             .Left = 100,
                             .Top = 100,
                             .Width = 400,
                             .Height = 300,
                             .Text = "Form1",
                             .Font = Image.Font({}),
                             .Handle = FormWindow});
    Button = Image.WinControl({.Class = Image.TButton,
                               .Name = "Button1",
                               .Owner = Form,
                               .Parent = Form,
                               .Left = 16,
                               .Top = 8,
                               .Width = 75,
                               .Height = 25,
                               .Text = "Button1",
                               .Font = ButtonFont,
                               .Handle = ButtonWindow});
    SetChildren({Button});
    Show(FormWindow, Form, {0, 0, 392, 273});
    Show(ButtonWindow, Button, {0, 0, 75, 25});
}

void TAlienProgram::Show(std::uint32_t window, std::uint32_t object, TAlienRect client) {
    TAlienWindow w;
    w.Object = object;
    w.Client = client;
    Platform.Windows[window] = w;
}

void TAlienProgram::SetChildren(const std::vector<std::uint32_t>& children) {
    Image.Put32(Form, vcl::Controls, Image.List(children));
}

// ---- TModernProgram

TModernProgram::TModernProgram(TModernGeneration generation) : Model(Memory, generation), Platform(Memory) {
    const std::uint32_t window_text = 0xFF000008;
    TModernModel& m = Model;
    struct Bounds {
        std::int32_t left, top, width, height;
    };
    const auto control = [&](const char* cls, const char* name, std::uint32_t owner, std::uint32_t parent,
                             Bounds bounds, std::uint32_t font, const char* text = "") {
        return m.Control({.Class = cls,
                          .Name = name,
                          .Owner = owner,
                          .Parent = parent,
                          .Left = bounds.left,
                          .Top = bounds.top,
                          .Width = bounds.width,
                          .Height = bounds.height,
                          .Style = 0xA0,
                          .Text = text,
                          .Font = font});
    };
    Application = m.Control({.Class = "TApplication"});
    const std::uint32_t sans = m.Font("MS Sans Serif", -11, 0, window_text);
    ButtonFont = m.Font("MS Sans Serif", -11, 0x01, window_text);
    Form = control("TForm1", "Form1", Application, 0, {100, 100, 400, 300}, sans);
    Button = control("TButton", "Button1", Form, Form, {16, 8, 75, 25}, ButtonFont);
    Panel = control("TPanel", "Panel1", Form, Form, {200, 10, 180, 120}, sans);
    Label1 = control("TLabel", "Label1", Form, Form, {10, 50, 100, 20},
                     m.Font("Tahoma", -13, 0x06, 0x00123456), "Na\xC3\xAFve caption");
    Bevel = control("TBevel", "", 0, Form, {10, 220, 100, 20}, 0);
    Label3 = control("TLabel", "Label3", Form, Panel, {10, 60, 80, 20}, sans, "Inside");
    m.SetWinControl(Form, {Label1, Bevel}, {Button, Panel}, FormWindow);
    m.SetWinControl(Button, {}, {}, ButtonWindow);
    m.SetWinControl(Panel, {Label3}, {}, PanelWindow);
    m.SetComponents(Form, {Button, Panel, Label1, Label3});
    m.SetComponents(Application, {Form});
    Show(FormWindow, Form, {0, 0, 392, 273}, "Form1");
    Show(ButtonWindow, Button, {0, 0, 75, 25}, "Button1");
    Show(PanelWindow, Panel, {0, 0, 180, 120}, "Panel1");
}

void TModernProgram::Show(std::uint32_t window, std::uint32_t object, TAlienRect client,
                          const std::string& text) {
    TAlienWindow w;
    w.Object = object;
    w.Client = client;
    w.Text = text;
    // As measured: the program of 2009 answers the query, the later ones answer 0.
    w.Answers = Model.Generation == TModernGeneration::Delphi2009;
    Platform.Windows[window] = w;
}

void TModernProgram::Put32(std::uint32_t object, std::uint32_t TModernOffsets::*field, std::uint32_t value) {
    Memory.Put32(object + Model.Offsets.*field, value);
}
