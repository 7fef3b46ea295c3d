#include "alien/AlienProxies.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <unordered_set>

#include "alien/AlienAccess.h"
#include "alien/AlienLayouts.h"
#include "alien/PagedRead.h"

namespace {

// The platform's multiply-then-divide: a 64-bit product, rounded half away from zero, -1 for a
// divisor of 0 or a result outside the 32-bit range.
std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
    if (denominator == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t result =
        product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < -std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(result);
}

// Alien coordinates can be anything; the sum wraps as it would in the other process.
std::int32_t WrappingSum(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace

TAlienSlice::TAlienSlice(TAlienApplication& application, std::uint32_t address, std::uint32_t start,
                         std::uint32_t size)
    : start_(start), bytes_(size, 0) {
    // A slice that would run past the end of the 32-bit address space is not read at all.
    if (std::uint64_t{address} + start + size <= AlienAddressSpaceEnd)
        application.ReadMemory(address + start, bytes_.data(), bytes_.size());
}

std::string TAlienSlice::ShortString(std::uint32_t offset, std::size_t max_length) const {
    if (offset < start_) return {};
    MemoryByteSource bytes(bytes_.data(), bytes_.size());
    return read_short_string(bytes, offset - start_, max_length);
}

// ---- TAlienProxy

TAlienProxy::TAlienProxy(TAlienApplication& application, std::uint32_t address)
    : application_(application), address_(address) {
    if (address == 0) throw std::invalid_argument("alien proxy for address 0");
}

TAlienProxy::TAlienProxy(TAlienApplication& application, std::uint32_t address, NullAllowed)
    : application_(application), address_(address) {}

// ---- TAlienClass

TAlienClass::TAlienClass(TAlienApplication& application, std::uint32_t address)
    : TAlienProxy(application, address) {}

const std::string& TAlienClass::ClassName() {
    if (!name_ && Application().IsModern()) {
        const TModernClass* cls = Application().ModernClassAt(Address());
        name_ = cls ? cls->Name : std::string();
    }
    if (!name_) {
        const TObjectLayout* layout = LayoutOfVersion(Application().Version());
        if (!layout) throw Application().UndefinedPropertyError();
        const TClassRecordLayout& slots = *layout->ClassRecord;
        name_ = Application().ReadShortString(
            Application().ReadPointer(Address() + static_cast<std::uint32_t>(slots.ClassName)));
    }
    return *name_;
}

TAlienClass* TAlienClass::ClassParent() {
    if (!parent_ && Application().IsModern()) {
        const TModernClass* cls = Application().ModernClassAt(Address());
        parent_ = cls && cls->Parent ? Application().ClassProxy(cls->Parent->Address) : nullptr;
    }
    if (!parent_) {
        const TObjectLayout* layout = LayoutOfVersion(Application().Version());
        if (!layout) throw Application().UndefinedPropertyError();
        const TClassRecordLayout& slots = *layout->ClassRecord;
        const std::uint32_t cell =
            Application().ReadPointer(Address() + static_cast<std::uint32_t>(slots.Parent));
        const std::uint32_t parent = cell ? Application().ReadPointer(cell) : 0;
        parent_ = parent ? Application().ClassProxy(parent) : nullptr;
    }
    return *parent_;
}

std::vector<std::string> ClassHierarchy(TAlienClass* cls) {
    std::vector<std::string> names;
    std::unordered_set<const TAlienClass*> seen;
    while (cls && seen.insert(cls).second && names.size() < TAlienApplication::MaxClassDepth) {
        names.push_back(cls->ClassName());
        cls = cls->ClassParent();
    }
    return names;
}

// ---- TAlienObject

TAlienObject::TAlienObject(TAlienApplication& application, std::uint32_t address)
    : TAlienProxy(application, address), layout_(application.LayoutOfObject(address)) {}

TAlienObject::TAlienObject(TAlienApplication& application, std::uint32_t address, NullAllowed)
    : TAlienProxy(application, address, NullAllowed{}) {}

const TObjectLayout& TAlienObject::Layout() const {
    if (!layout_) throw Application().UndefinedPropertyError();
    return *layout_;
}

TAlienSlice TAlienObject::CopyPart(TSliceLayout TObjectLayout::*part) const {
    if (!layout_) return {};
    const TSliceLayout& slice = layout_->*part;
    return TAlienSlice(Application(), Address(), slice.Start, slice.Size);
}

TAlienClass* TAlienObject::ClassType() {
    if (!class_) {
        const std::uint32_t pointer = Application().ClassOfObject(Address());
        class_ = pointer ? Application().ClassProxy(pointer) : nullptr;
    }
    return *class_;
}

std::string TAlienObject::ClassName() {
    TAlienClass* cls = ClassType();
    return cls ? cls->ClassName() : std::string();
}

// ---- TAlienList

TAlienList::TAlienList(TAlienApplication& application, std::uint32_t address)
    : TAlienObject(application, address, NullAllowed{}) {
    if (address == 0) return;
    header_ = TAlienSlice(application, address, 0, ListHeaderSize);
    const std::int32_t count = std::clamp(header_.I32(ListCount), 0, MaxItems);
    if (count == 0) return;
    std::vector<unsigned char> array(static_cast<std::size_t>(count) * 4);
    const std::size_t copied = application.ReadMemory(header_.U32(ListItems), array.data(), array.size());
    MemoryByteSource items(array.data(), copied);
    items_.resize(copied / 4);
    for (std::size_t i = 0; i < items_.size(); ++i) read_le(items, 4 * i, items_[i]);
}

std::uint32_t TAlienList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[static_cast<std::size_t>(index)];
}

// ---- TAlienGraphicsObject, TAlienFont

TAlienGraphicsObject::TAlienGraphicsObject(TAlienApplication& application, std::uint32_t address)
    : TAlienObject(application, address), header_(CopyPart(&TObjectLayout::GraphicsHeader)) {
    const TObjectLayout* layout = LayoutIfAny();
    if (!layout) return;
    if (const std::uint32_t resource = header_.U32(layout->Resource))
        resource_ = TAlienSlice(application, resource, 0, layout->FontResource.Size);
}

TAlienFont::TAlienFont(TAlienApplication& application, std::uint32_t address)
    : TAlienGraphicsObject(application, address), fields_(CopyPart(&TObjectLayout::FontFields)) {}

std::int32_t TAlienFont::Color() const { return Application().ConvertColor(fields_.I32(Layout().Color)); }

std::int32_t TAlienFont::PixelsPerInch() const { return fields_.I32(Layout().PixelsPerInch); }

std::int32_t TAlienFont::Height() const { return resource_.I32(Layout().FontResource.Height); }

std::int32_t TAlienFont::Size() const { return -MulDiv(Height(), 72, PixelsPerInch()); }

std::uint8_t TAlienFont::Style() const { return resource_.U8(Layout().FontResource.Style); }

std::string TAlienFont::Name() const {
    const TResourceRecordLayout& record = Layout().FontResource;
    return resource_.ShortString(record.FaceName, record.FaceNameMaxLength);
}

// ---- TAlienComponent

TAlienComponent::TAlienComponent(TAlienApplication& application, std::uint32_t address)
    : TAlienObject(application, address), component_(CopyPart(&TObjectLayout::Component)) {}

std::string TAlienComponent::Name() const {
    const TObjectLayout& layout = Layout();
    const std::uint32_t name = component_.U32(layout.Name);
    return layout.UnicodeTexts ? Application().ReadUnicodeString(name) : Application().ReadLongString(name);
}

TAlienComponent* TAlienComponent::Owner() const {
    return Application().ComponentProxy(component_.U32(Layout().Owner));
}

std::uint16_t TAlienComponent::ComponentState() const { return component_.U16(Layout().ComponentState); }

// ---- TAlienControl

TAlienControl::TAlienControl(TAlienApplication& application, std::uint32_t address)
    : TAlienComponent(application, address), control_(CopyPart(&TObjectLayout::Control)) {}

TAlienWinControl* TAlienControl::Parent() const { return Application().WinControlProxy(ParentAddress()); }

std::uint32_t TAlienControl::ParentAddress() const { return control_.U32(Layout().Parent); }

std::int32_t TAlienControl::Left() const { return control_.I32(Layout().Left); }
std::int32_t TAlienControl::Top() const { return control_.I32(Layout().Top); }
std::int32_t TAlienControl::Width() const { return control_.I32(Layout().Width); }
std::int32_t TAlienControl::Height() const { return control_.I32(Layout().Height); }

std::uint32_t TAlienControl::ControlStyle() const {
    const TObjectLayout& layout = Layout();
    return layout.ControlStyleIs16Bit ? control_.U16(layout.ControlStyle) : control_.U32(layout.ControlStyle);
}

bool TAlienControl::Visible() const { return control_.U8(Layout().Visible) != 0; }
bool TAlienControl::Enabled() const { return control_.U8(Layout().Enabled) != 0; }

std::string TAlienControl::Text() const {
    const TObjectLayout& layout = Layout();
    const std::uint32_t text = control_.U32(layout.Text);
    if (!layout.UnicodeTexts) return Application().ReadPCharString(text);
    if (text != 0) return Application().ReadPWideCharString(text);
    const std::uint32_t window = layout.WindowedControl ? control_.U32(layout.Handle) : 0;
    return window ? Application().Platform().WindowText(window) : std::string();
}

TAlienFont* TAlienControl::Font() const { return Application().FontProxy(control_.U32(Layout().Font)); }

TAlienRect TAlienControl::BoundsRect() const {
    return {Left(), Top(), WrappingSum(Left(), Width()), WrappingSum(Top(), Height())};
}

TAlienRect TAlienControl::ClientRect() const { return {0, 0, Width(), Height()}; }

// ---- TAlienWinControl

TAlienWinControl::TAlienWinControl(TAlienApplication& application, std::uint32_t address)
    : TAlienControl(application, address), win_control_(CopyPart(&TObjectLayout::WinControl)) {}

TAlienList* TAlienWinControl::Controls() const {
    return Application().ListProxy(win_control_.U32(Layout().Controls));
}

std::uint32_t TAlienWinControl::Handle() const { return win_control_.U32(Layout().Handle); }

TAlienRect TAlienWinControl::ClientRect() const { return Application().Platform().ClientRectOf(Handle()); }

TAlienControl* TAlienWinControl::ControlAtPos(TAlienPoint point, bool allow_disabled) const {
    constexpr std::uint16_t csDesigning = 0x10;
    constexpr std::uint32_t csNoDesignVisible = 0x400;
    const TAlienList* controls = Controls();
    for (std::int32_t i = controls->Count() - 1; i >= 0; --i) {
        const std::uint32_t item = controls->Items(i);
        if (item == 0) continue;
        if (Application().IsModern() && !Application().IsObjectOfKind(item, lkComponent | lkControl))
            continue;
        TAlienControl* child = Application().ControlProxy(item);
        if (Application().IsModern() && child->ParentAddress() != Address()) continue;
        const std::int64_t x = std::int64_t{point.X} - child->Left();
        const std::int64_t y = std::int64_t{point.Y} - child->Top();
        const TAlienRect client = child->ClientRect();
        if (x < client.Left || x >= client.Right || y < client.Top || y >= client.Bottom) continue;
        const bool designed = (child->ComponentState() & csDesigning) != 0 &&
                              (child->Visible() || (child->ControlStyle() & csNoDesignVisible) == 0);
        const bool shown = child->Visible() && (child->Enabled() || allow_disabled);
        if (designed || shown) return child;
    }
    return nullptr;
}
