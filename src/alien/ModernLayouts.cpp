#include "alien/ModernLayouts.h"

#include <algorithm>
#include <optional>

#include "base/VclUnitNames.h"

namespace {

// The classes of the library that declare the fields read here.
enum TBase { bComponent, bControl, bWinControl, bGraphicsObject, bFont, BaseCount };

// A structural rule: the field of a published property of Base plus Delta; a Property of "" stands for
// the first field that the field's own declaring class adds.
struct TRule {
    TBase Base;
    const char* Property;
    std::int32_t Delta;
};

}  // namespace

struct TModernLayouts::TFieldSpec {
    const char* Key;
    TBase Base;            // the class that declares the field
    std::uint8_t Width;    // bytes; the offset is aligned to it
    const char* Property;  // a published property that reads it, or null
    const char* Field;     // its name in the extended field table
    TTypeKind Kind;
    const char* ClassName;  // for a field of class type: that class, or a generic list of its name
    std::optional<TRule> Rule;
    std::uint32_t TObjectLayout::*Member;  // null: used only while the layout is made
};

namespace {

using TFieldSpec = TModernLayouts::TFieldSpec;

// Each rule held on every object of five real programs built with the library from 2009 on, checked
// against the extended field tables where the programs carry them (tests/real/probe-vcl-programs.sh).
const TFieldSpec Fields[] = {
    {"Owner", bComponent, 4, nullptr, "FOwner", tkClass, "TComponent", TRule{bComponent, "", 0},
     &TObjectLayout::Owner},
    {"Name", bComponent, 4, "Name", "FName", tkUString, nullptr, std::nullopt, &TObjectLayout::Name},
    {"Components", bComponent, 4, nullptr, "FComponents", tkClass, "TList", TRule{bComponent, "Tag", 4},
     nullptr},
    {"ComponentState", bComponent, 2, nullptr, "FComponentState", tkSet, nullptr,
     TRule{bComponent, "Tag", 16}, &TObjectLayout::ComponentState},
    {"Parent", bControl, 4, nullptr, "FParent", tkClass, "TWinControl", TRule{bControl, "Left", -16},
     &TObjectLayout::Parent},
    {"Left", bControl, 4, "Left", "FLeft", tkInteger, nullptr, std::nullopt, &TObjectLayout::Left},
    {"Top", bControl, 4, "Top", "FTop", tkInteger, nullptr, std::nullopt, &TObjectLayout::Top},
    {"Width", bControl, 4, "Width", "FWidth", tkInteger, nullptr, std::nullopt, &TObjectLayout::Width},
    {"Height", bControl, 4, "Height", "FHeight", tkInteger, nullptr, std::nullopt, &TObjectLayout::Height},
    {"ControlStyle", bControl, 4, nullptr, "FControlStyle", tkSet, nullptr, TRule{bControl, "Height", 4},
     &TObjectLayout::ControlStyle},
    {"Visible", bControl, 1, "Visible", "FVisible", tkEnumeration, nullptr, std::nullopt,
     &TObjectLayout::Visible},
    {"Enabled", bControl, 1, nullptr, "FEnabled", tkEnumeration, nullptr, TRule{bControl, "Visible", 1},
     &TObjectLayout::Enabled},
    {"Text", bControl, 4, nullptr, "FText", tkPointer, nullptr, TRule{bControl, "HelpContext", 12},
     &TObjectLayout::Text},
    {"Font", bControl, 4, "Font", "FFont", tkClass, "TFont", std::nullopt, &TObjectLayout::Font},
    {"Controls", bWinControl, 4, nullptr, "FControls", tkClass, "TList", TRule{bWinControl, "TabStop", -12},
     &TObjectLayout::Controls},
    {"Handle", bWinControl, 4, nullptr, "FHandle", tkInteger, nullptr, std::nullopt, &TObjectLayout::Handle},
    {"Resource", bGraphicsObject, 4, nullptr, "FResource", tkPointer, nullptr, TRule{bFont, "Color", -8},
     &TObjectLayout::Resource},
    {"Color", bFont, 4, "Color", "FColor", tkInteger, nullptr, std::nullopt, &TObjectLayout::Color},
    {"PixelsPerInch", bFont, 4, nullptr, "FPixelsPerInch", tkInteger, nullptr, TRule{bFont, "Color", 4},
     &TObjectLayout::PixelsPerInch},
};

// The type of each published property that an offset is taken from.
TTypeKind PropertyKind(std::string_view name) {
    if (name == "Name") return tkUString;
    if (name == "Visible" || name == "TabStop") return tkEnumeration;
    if (name == "Font") return tkClass;
    return tkInteger;  // Tag, Left, Top, Width, Height, HelpContext, Color
}

// The font resource of programs without record type information: the font data after four fields and
// a 16-bit hash code, the face name a short text of at most 31 characters.
constexpr TResourceRecordLayout ResourceShapeWithoutTypes{64, 20, 29, 31, 31};

bool NamesClass(const std::string& type_name, const char* wanted) {
    const std::string_view name(wanted);
    return type_name == name ||
           (type_name.size() > name.size() && type_name.compare(0, name.size(), name) == 0 &&
            type_name[name.size()] == '<');
}

// The direct parent named so; the library's classes stand in a fixed order.
bool ParentIs(const TModernClass* cls, std::string_view name) {
    return cls && cls->Parent && cls->Parent->Name == name;
}

// A class right below TPersistent, which stands right below TObject.
bool UnderPersistent(const TModernClass* cls) {
    return ParentIs(cls, "TPersistent") && ParentIs(cls->Parent, "TObject");
}

}  // namespace

struct TModernLayouts::TBases {
    const TModernClass* Of[BaseCount] = {};
};

namespace {

// The library's classes in cls's chain that stand where the library puts them.
TModernLayouts::TBases BasesOf(const TModernClass& cls) {
    TModernLayouts::TBases bases;
    const TModernClass* component = cls.Ancestor("TComponent");
    if (!UnderPersistent(component)) return bases;
    bases.Of[bComponent] = component;
    const TModernClass* control = cls.Ancestor("TControl");
    if (control && control->Parent == component &&
        VclControlsUnit(control->UnitName) != TVclControlsUnit::None) {
        bases.Of[bControl] = control;
        const TModernClass* win_control = cls.Ancestor("TWinControl");
        if (win_control && win_control->Parent == control && win_control->UnitName == control->UnitName)
            bases.Of[bWinControl] = win_control;
    }
    return bases;
}

TModernLayouts::TBases FontBasesOf(const TModernClass& cls) {
    TModernLayouts::TBases bases;
    const TModernClass* graphics = cls.Ancestor("TGraphicsObject");
    const TModernClass* font = cls.Ancestor("TFont");
    if (UnderPersistent(graphics) && font && font->Parent == graphics) {
        bases.Of[bGraphicsObject] = graphics;
        bases.Of[bFont] = font;
    }
    return bases;
}

TModernLayouts::TBases AllBasesOf(const TModernClass& cls) {
    TModernLayouts::TBases bases = BasesOf(cls);
    const TModernLayouts::TBases fonts = FontBasesOf(cls);
    bases.Of[bGraphicsObject] = fonts.Of[bGraphicsObject];
    bases.Of[bFont] = fonts.Of[bFont];
    return bases;
}

bool InOwnFields(const TModernClass& cls, std::uint32_t offset, std::uint32_t width) {
    return offset >= cls.OwnFieldsStart() && std::uint64_t{offset} + width <= cls.OwnFieldsEnd() &&
           offset % width == 0;
}

}  // namespace

std::string TModernLayouts::Generation(std::uint32_t class_address) {
    const TModernClass* cls = classes_.Class(class_address);
    if (!cls) return {};
    const TBases bases = BasesOf(*cls);
    if (!bases.Of[bWinControl]) return {};
    return VclControlsUnit(bases.Of[bControl]->UnitName) == TVclControlsUnit::Prefixed ? "XE2 or later"
                                                                                       : "2009 or later";
}

void TModernLayouts::Learn(const TModernClass& leaf) {
    for (const TModernClass* cls = &leaf; cls; cls = cls->Parent) {
        if (!learnt_.insert(cls->Address).second) continue;
        const TBases bases = AllBasesOf(*cls);
        for (const TNamedOffset& property : cls->FieldProperties) {
            for (const TModernClass* base : bases.Of) {
                if (!base || property.Offset < base->OwnFieldsStart() ||
                    property.Offset >= base->OwnFieldsEnd())
                    continue;
                auto [known, made] =
                    anchors_[base->Address].try_emplace(property.Name, property.Offset, property.TypeCell);
                if (!made && known->second.first != property.Offset)
                    conflicts_.insert(std::to_string(base->Address) + ":" + property.Name);
            }
        }
    }
}

TModernLayouts::TFound TModernLayouts::Anchor(const TModernClass& base, const char* property,
                                              std::uint32_t& offset) {
    if (conflicts_.count(std::to_string(base.Address) + ":" + property)) return TFound::Invalid;
    auto known = anchors_.find(base.Address);
    if (known == anchors_.end()) return TFound::Missing;
    auto found = known->second.find(property);
    if (found == known->second.end()) return TFound::Missing;
    const TTypeRef type = classes_.Type(found->second.second);
    if (type.Kind != PropertyKind(property) || (type.Kind == tkClass && !NamesClass(type.Name, "TFont")))
        return TFound::Invalid;
    offset = found->second.first;
    return TFound::Yes;
}

TModernLayouts::TFound TModernLayouts::Find(const TFieldSpec& spec, const TBases& bases,
                                            TOffsetOrigin& origin) {
    const TModernClass& base = *bases.Of[spec.Base];
    origin.Field = spec.Key;
    std::optional<std::uint32_t> published, extended;
    if (spec.Property) {
        std::uint32_t offset = 0;
        const TFound found = Anchor(base, spec.Property, offset);
        if (found == TFound::Invalid) return found;
        if (found == TFound::Yes) published = offset;
    }
    const std::optional<std::vector<TNamedOffset>>& fields = classes_.ExtendedFields(base);
    if (!fields) return TFound::Invalid;
    for (const TNamedOffset& field : *fields) {
        if (field.Name != spec.Field) continue;
        const TTypeRef type = classes_.Type(field.TypeCell);
        if (type.Kind != spec.Kind || (spec.ClassName && !NamesClass(type.Name, spec.ClassName)))
            return TFound::Invalid;
        extended = field.Offset;
        origin.TypeCell = field.TypeCell;
        break;
    }
    // Two sources that name one field must agree.
    if (published && extended && *published != *extended) return TFound::Invalid;
    if (published) {
        origin = {spec.Key, *published, TOffsetSource::PublishedProperty, spec.Property, origin.TypeCell};
    } else if (extended) {
        origin = {spec.Key, *extended, TOffsetSource::ExtendedField, spec.Field, origin.TypeCell};
    } else if (spec.Rule) {
        const TRule& rule = *spec.Rule;
        std::uint32_t anchor = base.OwnFieldsStart();
        std::string evidence = "first field of " + base.Name;
        if (*rule.Property) {
            if (!bases.Of[rule.Base]) return TFound::Missing;
            const TFound found = Anchor(*bases.Of[rule.Base], rule.Property, anchor);
            if (found != TFound::Yes) return found;
            evidence = std::string(rule.Property) + (rule.Delta < 0 ? " - " : " + ") +
                       std::to_string(rule.Delta < 0 ? -rule.Delta : rule.Delta);
        }
        origin = {spec.Key, anchor + static_cast<std::uint32_t>(rule.Delta), TOffsetSource::StructuralRule,
                  evidence, 0};
    } else if (auto handle = handle_offsets_.find(base.Address);
               spec.Member == &TObjectLayout::Handle && handle != handle_offsets_.end()) {
        if (handle->second == 0) return TFound::Invalid;
        origin = {spec.Key, handle->second, TOffsetSource::WindowHandle, "the cell holding the window handle",
                  0};
    } else {
        return TFound::Missing;
    }
    return InOwnFields(base, origin.Offset, spec.Width) ? TFound::Yes : TFound::Invalid;
}

std::unique_ptr<TModernLayout> TModernLayouts::Resolve(const TBases& bases, bool& missing) {
    auto made = std::make_unique<TModernLayout>();
    TModernLayout& layout = *made;
    TObjectLayout& fields = layout.Layout;
    const TModernClass* const component = bases.Of[bComponent];
    const TModernClass* const control = bases.Of[bControl];
    const TModernClass* const win_control = bases.Of[bWinControl];
    const TModernClass* const font = bases.Of[bFont];
    layout.Kinds = (component ? lkComponent : 0u) | (control ? lkControl : 0u) |
                   (win_control ? lkWinControl : 0u) | (font ? lkFont : 0u);
    missing = false;
    if (layout.Kinds == 0) return nullptr;
    bool incomplete = false;
    for (const TFieldSpec& spec : Fields) {
        if (!bases.Of[spec.Base] || (spec.Base == bGraphicsObject && !font)) continue;
        TOffsetOrigin origin;
        TFound found = Find(spec, bases, origin);
        if (found == TFound::Yes && spec.Member == &TObjectLayout::Resource)
            found = ResolveResource(origin, layout);
        if (found == TFound::Invalid) return nullptr;
        if (found == TFound::Missing) {
            incomplete = true;
            continue;
        }
        if (spec.Member) fields.*spec.Member = origin.Offset;
        layout.Origins.push_back(std::move(origin));
    }
    if (incomplete) {
        missing = true;
        return nullptr;
    }
    fields.ClassRecord = &ClassLayoutModern;
    fields.UnicodeTexts = true;
    // Each part reaches from the fields its class adds to those it adds itself; a window control's control
    // part takes in the window-control fields too, for the handle that its text is read through.
    if (component) fields.Component = {0, component->OwnFieldsEnd()};
    if (control) {
        const TModernClass* last = win_control ? win_control : control;
        fields.Control = {control->OwnFieldsStart(), last->OwnFieldsEnd() - control->OwnFieldsStart()};
    }
    if (win_control) {
        fields.WinControl = {win_control->OwnFieldsStart(),
                             win_control->OwnFieldsEnd() - win_control->OwnFieldsStart()};
        fields.WindowedControl = true;
    }
    if (font) {
        fields.GraphicsHeader = {0, bases.Of[bGraphicsObject]->OwnFieldsEnd()};
        fields.FontFields = {font->OwnFieldsStart(), font->OwnFieldsEnd() - font->OwnFieldsStart()};
    }
    return made;
}

TModernLayouts::TFound TModernLayouts::ResolveResource(const TOffsetOrigin& resource, TModernLayout& layout) {
    TResourceRecordLayout& record = layout.Layout.FontResource;
    if (resource.Source != TOffsetSource::ExtendedField) {
        // Programs without extended type information predate the Owner field of the resource record.
        record = ResourceShapeWithoutTypes;
        layout.Origins.push_back({"FontResource", record.Height, TOffsetSource::RecordShape,
                                  "height at 20, style at 29, face name at 31", 0});
        return TFound::Yes;
    }
    // FResource: PResource -> TResource, whose field Font is a TFontData with Height, Style and Name.
    const std::optional<TRecordType> resource_record =
        classes_.Record(classes_.PointedType(classes_.Type(resource.TypeCell)));
    if (!resource_record) return TFound::Invalid;
    const auto field_of = [](const TRecordType& type, std::string_view name) -> const TNamedOffset* {
        auto found = std::find_if(type.Fields.begin(), type.Fields.end(),
                                  [&](const TNamedOffset& field) { return field.Name == name; });
        return found == type.Fields.end() ? nullptr : &*found;
    };
    const TNamedOffset* data = field_of(*resource_record, "Font");
    const std::optional<TRecordType> font_data =
        data ? classes_.Record(classes_.Type(data->TypeCell)) : std::nullopt;
    if (!font_data) return TFound::Invalid;
    const TNamedOffset* height = field_of(*font_data, "Height");
    const TNamedOffset* style = field_of(*font_data, "Style");
    const TNamedOffset* name = field_of(*font_data, "Name");
    if (!height || !style || !name || classes_.Type(height->TypeCell).Kind != tkInteger ||
        classes_.Type(style->TypeCell).Kind != tkSet)
        return TFound::Invalid;
    const std::optional<std::uint8_t> max_length = classes_.MaxLength(classes_.Type(name->TypeCell));
    if (!max_length) return TFound::Invalid;
    // Everything read must lie inside both records, and the copy stays small.
    constexpr std::uint64_t MaxRecordSize = 4096;
    const std::uint64_t start = data->Offset;
    if (resource_record->Size > MaxRecordSize || start + font_data->Size > resource_record->Size ||
        std::uint64_t{height->Offset} + 4 > font_data->Size ||
        std::uint64_t{style->Offset} + 1 > font_data->Size ||
        std::uint64_t{name->Offset} + 1 + *max_length > font_data->Size)
        return TFound::Invalid;
    record = {resource_record->Size, data->Offset + height->Offset, data->Offset + style->Offset,
              data->Offset + name->Offset, *max_length};
    layout.Origins.push_back(
        {"FontResource", record.Height, TOffsetSource::RecordType, "TResource.Font: Height, Style, Name", 0});
    return TFound::Yes;
}

template <class Done>
void TModernLayouts::ScanList(std::uint32_t list, Done&& done) {
    if (list == 0 || !scanned_.insert(list).second) return;
    // A list's items and count stand at 4 and 8, for TList and the generic lists alike.
    std::uint32_t items = 0;
    std::int32_t count = 0;
    if (!read_le(objects_, std::uint64_t{list} + 4, items) ||
        !read_le(objects_, std::uint64_t{list} + 8, count))
        return;
    count = std::clamp(count, 0, MaxScannedItems);
    std::vector<unsigned char> array(static_cast<std::size_t>(count) * 4);
    array.resize(objects_.read(items, array.data(), array.size()));
    MemoryByteSource cells(array.data(), array.size());
    for (std::size_t at = 0; at + 4 <= array.size() && !done(); at += 4) {
        std::uint32_t item = 0, class_address = 0;
        read_le(cells, at, item);
        if (item == 0 || !read_le(objects_, item, class_address)) continue;
        if (const TModernClass* cls = classes_.Class(class_address)) Learn(*cls);
    }
}

template <class Done>
void TModernLayouts::Scan(std::uint32_t object, const TBases& bases, Done&& done) {
    TOffsetOrigin components, owner;
    for (const TFieldSpec& spec : Fields) {
        if (spec.Base != bComponent) continue;
        if (std::string_view(spec.Key) == "Components" && Find(spec, bases, components) != TFound::Yes)
            return;
        if (std::string_view(spec.Key) == "Owner" && Find(spec, bases, owner) != TFound::Yes) return;
    }
    const auto pointer_at = [&](std::uint32_t at, std::uint32_t offset) {
        std::uint32_t value = 0;
        if (at) read_le(objects_, std::uint64_t{at} + offset, value);
        return value;
    };
    ScanList(pointer_at(object, components.Offset), done);
    ScanList(pointer_at(pointer_at(object, owner.Offset), components.Offset), done);
}

const TModernLayout* TModernLayouts::LayoutOf(std::uint32_t object, std::uint32_t class_address) {
    if (auto found = layouts_.find(class_address); found != layouts_.end()) return found->second.get();
    const TModernClass* cls = classes_.Class(class_address);
    if (!cls) return (layouts_[class_address] = nullptr).get();
    const TBases bases = AllBasesOf(*cls);
    Learn(*cls);
    bool missing = false;
    std::unique_ptr<TModernLayout> made = Resolve(bases, missing);
    if (!made && missing && object != 0 && bases.Of[bComponent]) {
        // What the class does not publish itself, the classes of the components around it may.
        Scan(object, bases, [&] {
            bool still_missing = false;
            return Resolve(bases, still_missing) != nullptr || !still_missing;
        });
        made = Resolve(bases, missing);
    }
    // A layout that misses an offset is not kept: the next object of the class may lead to it.
    if (!made && missing) return nullptr;
    return (layouts_[class_address] = std::move(made)).get();
}

void TModernLayouts::LearnHandle(std::uint32_t object, std::uint32_t class_address, std::uint32_t window) {
    const TModernClass* cls = classes_.Class(class_address);
    const TModernClass* win_control = cls ? BasesOf(*cls).Of[bWinControl] : nullptr;
    // Learnt once: every later window's object is checked against its handle at that offset.
    if (!win_control || window == 0 || handle_offsets_.count(win_control->Address)) return;
    const std::optional<std::vector<TNamedOffset>>& fields = classes_.ExtendedFields(*win_control);
    if (!fields || std::any_of(fields->begin(), fields->end(),
                               [](const TNamedOffset& field) { return field.Name == "FHandle"; }))
        return;
    const std::uint32_t start = win_control->OwnFieldsStart();
    std::vector<unsigned char> part(win_control->OwnFieldsEnd() - start);
    part.resize(objects_.read(std::uint64_t{object} + start, part.data(), part.size()));
    MemoryByteSource cells(part.data(), part.size());
    std::uint32_t offset = 0;
    int matches = 0;
    for (std::uint32_t at = 0; at + 4 <= part.size(); at += 4) {
        std::uint32_t value = 0;
        read_le(cells, at, value);
        if (value == window) ++matches, offset = start + at;
    }
    handle_offsets_[win_control->Address] = matches == 1 ? offset : 0;
}
