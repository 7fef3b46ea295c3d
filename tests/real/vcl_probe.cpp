// vcl_probe.exe [--bench]: dumps, read-only, what a reader of VCL objects in another process needs,
// for every top-level window that carries the VCL's "Delphi%.8X" window property and for all its child
// windows: the object found through the "ControlOfs%.8X%.8X" property and the registered query message,
// the class records (every slot below the table of virtual methods), the published-property records
// and field tables of each class, the objects' fields found through them, cross-checked against what
// the system says about the windows, and the control lists that hold the windowless controls.
//
// It only reads the target: OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION),
// ReadProcessMemory, GetPropA, GlobalFindAtomA, SendMessageTimeout and window queries.
// With --tops it only lists the VCL's top-level windows (exit code 2 while there is none).
// With --bench it times a reader-like lookup of the first form and of one of its buttons instead.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Address = std::uint32_t;

// --- the target's memory ----------------------------------------------------------------------------

class Remote {
public:
    explicit Remote(DWORD pid)
        : process_(::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, pid)) {}
    ~Remote() {
        if (process_) ::CloseHandle(process_);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    bool ok() const { return process_ != nullptr; }
    std::uint64_t calls = 0;

    // While set, reads are served from whole 4 KiB pages kept in `pages`, as a reader would cache the
    // read-only class records and type information of the program's image.
    bool paged = false;
    std::map<Address, std::vector<std::uint8_t>> pages;

    // All or nothing.
    bool Read(Address at, void* into, std::size_t size) {
        if (at == 0 || size == 0 || size > (64u << 20)) return false;
        if (!paged) return ReadOnce(at, into, size);
        auto* to = static_cast<std::uint8_t*>(into);
        std::uint64_t from = at;
        const std::uint64_t end = std::uint64_t{at} + size;
        while (from < end) {
            const Address page = static_cast<Address>(from & ~std::uint64_t{4095});
            auto found = pages.find(page);
            if (found == pages.end()) {
                std::vector<std::uint8_t> bytes(4096);
                if (!ReadOnce(page, bytes.data(), bytes.size())) return false;
                found = pages.emplace(page, std::move(bytes)).first;
            }
            const std::size_t offset = static_cast<std::size_t>(from - page);
            const std::size_t count =
                static_cast<std::size_t>(std::min<std::uint64_t>(4096 - offset, end - from));
            std::memcpy(to, found->second.data() + offset, count);
            to += count;
            from += count;
        }
        return true;
    }
    std::vector<std::uint8_t> Bytes(Address at, std::size_t size) {
        std::vector<std::uint8_t> bytes(size);
        if (!Read(at, bytes.data(), size)) bytes.clear();
        return bytes;
    }
    bool U32(Address at, std::uint32_t& value) { return Read(at, &value, 4); }
    std::uint32_t U32or0(Address at) {
        std::uint32_t value = 0;
        return U32(at, value) ? value : 0;
    }
    std::uint16_t U16or0(Address at) {
        std::uint16_t value = 0;
        return Read(at, &value, 2) ? value : 0;
    }
    std::uint8_t U8or0(Address at) {
        std::uint8_t value = 0;
        return Read(at, &value, 1) ? value : 0;
    }
    // A length byte and that many bytes; false when unreadable.
    bool Short(Address at, std::string& text) {
        std::uint8_t length = 0;
        if (!Read(at, &length, 1)) return false;
        text.assign(length, '\0');
        return length == 0 || Read(at + 1, text.data(), length);
    }
    std::string ShortOr(Address at, const char* fallback = "?") {
        std::string text;
        return Short(at, text) ? text : fallback;
    }

private:
    bool ReadOnce(Address at, void* into, std::size_t size) {
        ++calls;
        SIZE_T done = 0;
        return ::ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(at)), into,
                                   size, &done) &&
               done == size;
    }

    HANDLE process_;
};

bool IsIdentifier(const std::string& text) {
    if (text.empty()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        const bool dot = c == '.' && i > 0;  // unit names like Vcl.Controls
        if (!(letter || (digit && i > 0) || dot)) return false;
    }
    return true;
}

// Class names may also be those of generic instances, such as TList<System.Classes.TComponent>.
bool IsClassName(const std::string& text) {
    if (text.empty() || !IsIdentifier(text.substr(0, 1))) return false;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const bool plain =
            (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_';
        if (!(plain || u == '.' || u == '<' || u == '>' || u == ',')) return false;
    }
    return true;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

// A UnicodeString: code page (16 bits) at -12, element size (16 bits) at -10, reference count at -8,
// length in characters at -4, then UTF-16 and a NUL. Bounded to 4096 characters.
struct UString {
    bool ok = false;
    std::uint16_t code_page = 0, element_size = 0;
    std::int32_t ref_count = 0, length = 0;
    std::wstring text;
    bool nul_after = false;
};
UString ReadUString(Remote& remote, Address at) {
    UString s;
    if (at == 0) return s;
    std::uint8_t head[12];
    if (!remote.Read(at - 12, head, 12)) return s;
    std::memcpy(&s.code_page, head, 2);
    std::memcpy(&s.element_size, head + 2, 2);
    std::memcpy(&s.ref_count, head + 4, 4);
    std::memcpy(&s.length, head + 8, 4);
    if (s.length < 0 || s.length > 4096) return s;
    std::vector<wchar_t> chars(static_cast<std::size_t>(s.length) + 1);
    if (!remote.Read(at, chars.data(), 2 * chars.size())) return s;
    s.nul_after = chars.back() == 0;
    s.text.assign(chars.data(), static_cast<std::size_t>(s.length));
    s.ok = true;
    return s;
}
std::string UStringText(const UString& s) {
    if (!s.ok) return "<unreadable>";
    char head[96];
    std::snprintf(head, sizeof head, "[cp %u, elem %u, ref %d, len %d, nul %s] \"", s.code_page,
                  s.element_size, s.ref_count, s.length, s.nul_after ? "yes" : "NO");
    return head + Utf8(s.text) + "\"";
}

// A NUL-terminated UTF-16 text, at most 4096 characters, and the 12 bytes before it.
std::string PWideText(Remote& remote, Address at) {
    if (at == 0) return "nil";
    std::vector<wchar_t> chars(4097);
    std::size_t got = 0;
    for (; got < 4096; got += 64) {
        if (!remote.Read(at + 2 * static_cast<Address>(got), chars.data() + got, 128)) break;
        if (std::find(chars.begin() + static_cast<std::ptrdiff_t>(got),
                      chars.begin() + static_cast<std::ptrdiff_t>(got + 64),
                      L'\0') != chars.begin() + static_cast<std::ptrdiff_t>(got + 64))
            break;
    }
    chars[4096] = 0;
    std::uint32_t head[3] = {};
    remote.Read(at - 12, head, sizeof head);
    char prefix[96];
    std::snprintf(prefix, sizeof prefix, "[before: %08X %08X %08X] \"", head[0], head[1], head[2]);
    return prefix + Utf8(std::wstring(chars.data())) + "\"";
}

// --- class records ------------------------------------------------------------------------------------

// Slots below the table of virtual methods, in the modern layout.
constexpr struct {
    int offset;
    const char* name;
} ModernSlots[] = {
    {-88, "self"},
    {-84, "interface table"},
    {-80, "auto table"},
    {-76, "init table"},
    {-72, "type info"},
    {-68, "field table"},
    {-64, "method table"},
    {-60, "dynamic table"},
    {-56, "class name"},
    {-52, "instance size"},
    {-48, "parent"},
    {-44, "Equals"},
    {-40, "GetHashCode"},
    {-36, "ToString"},
    {-32, "SafeCallException"},
    {-28, "AfterConstruction"},
    {-24, "BeforeDestruction"},
    {-20, "Dispatch"},
    {-16, "DefaultHandler"},
    {-12, "NewInstance"},
    {-8, "FreeInstance"},
    {-4, "Destroy"},
};

struct TypeRef {
    Address info = 0;
    std::uint8_t kind = 0;
    std::string name;
};

struct PropRecord {
    Address at = 0;
    std::string name;
    TypeRef type;
    std::uint32_t get = 0, set = 0, stored = 0, index = 0, default_value = 0;
    std::int16_t name_index = 0;
};

struct FieldRecord {
    bool extended = false;
    std::uint8_t flags = 0;
    std::uint32_t offset = 0;
    std::uint16_t type_index = 0;
    TypeRef type;
    std::string name;
    std::uint16_t attr_length = 0;
};

struct ClassInfo {
    Address vmt = 0;
    bool valid = false;
    std::uint32_t slots[22] = {};
    std::string name;
    std::uint32_t size = 0;
    Address parent = 0;
    std::uint16_t dynamic_count = 0;
    // Type information.
    bool has_type_info = false;
    std::uint8_t kind = 0;
    std::string type_name, unit_name;
    Address class_type = 0, parent_info = 0;
    std::int16_t total_props = 0;
    std::vector<PropRecord> props;
    int extended_props = -1;  // -1: none found after the property list
    Address after_props = 0;
    // Field table.
    std::uint16_t field_count = 0;
    Address class_table = 0;
    std::vector<FieldRecord> fields;
    int extended_fields = -1;
};

// A pointer to a cell that holds a type-information address.
TypeRef ReadTypeRef(Remote& remote, Address cell) {
    TypeRef ref;
    if (cell == 0) return ref;
    ref.info = remote.U32or0(cell);
    if (ref.info == 0) return ref;
    ref.kind = remote.U8or0(ref.info);
    ref.name = remote.ShortOr(ref.info + 1);
    return ref;
}

std::string TypeText(const TypeRef& ref) {
    if (ref.info == 0) return "-";
    return ref.name + "(kind " + std::to_string(ref.kind) + ")";
}

std::string ProcText(std::uint32_t proc) {
    if ((proc & 0xFF000000u) == 0xFF000000u) return "field +" + std::to_string(proc & 0x00FFFFFFu);
    if ((proc & 0xFF000000u) == 0xFE000000u)
        return "virtual @" + std::to_string(static_cast<std::int16_t>(proc & 0xFFFF));
    if (proc == 0) return "none";
    if (proc == 1) return "const true";
    return "static " + Hex(proc);
}

class Classes {
public:
    explicit Classes(Remote& remote) : remote_(remote) {}

    const ClassInfo& Get(Address vmt) {
        auto found = cache_.find(vmt);
        if (found != cache_.end()) return found->second;
        ClassInfo& info = cache_[vmt];
        Load(vmt, info);
        order_.push_back(vmt);
        return info;
    }
    // The chain from the class up to the root; stops at 64 steps or an invalid record.
    std::vector<const ClassInfo*> Chain(Address vmt) {
        std::vector<const ClassInfo*> chain;
        std::set<Address> seen;
        while (vmt != 0 && chain.size() < 64 && seen.insert(vmt).second) {
            const ClassInfo& info = Get(vmt);
            if (!info.valid) break;
            chain.push_back(&info);
            vmt = info.parent;
        }
        return chain;
    }
    const std::vector<Address>& Order() const { return order_; }
    void Forget() {
        cache_.clear();
        order_.clear();
    }

private:
    void Load(Address vmt, ClassInfo& info) {
        info.vmt = vmt;
        std::uint32_t raw[22];
        if (!remote_.Read(vmt - 88, raw, sizeof raw)) return;
        std::memcpy(info.slots, raw, sizeof raw);
        if (raw[0] != vmt) return;
        if (!remote_.Short(raw[8], info.name) || !IsClassName(info.name)) return;
        info.size = raw[9];
        if (raw[10] != 0) info.parent = remote_.U32or0(raw[10]);
        if (raw[7] != 0) info.dynamic_count = remote_.U16or0(raw[7]);
        info.valid = true;
        LoadTypeInfo(raw[4], info);
        LoadFieldTable(raw[5], info);
    }

    void LoadTypeInfo(Address at, ClassInfo& info) {
        if (at == 0) return;
        info.kind = remote_.U8or0(at);
        if (!remote_.Short(at + 1, info.type_name)) return;
        Address p = at + 2 + static_cast<Address>(info.type_name.size());
        info.class_type = remote_.U32or0(p);
        info.parent_info = remote_.U32or0(p + 4);
        info.total_props = static_cast<std::int16_t>(remote_.U16or0(p + 8));
        if (!remote_.Short(p + 10, info.unit_name)) return;
        p += 11 + static_cast<Address>(info.unit_name.size());
        info.has_type_info = true;
        const std::uint16_t own = remote_.U16or0(p);
        p += 2;
        for (int i = 0; i < own && i < 1024; ++i) {
            PropRecord prop;
            prop.at = p;
            std::uint8_t bytes[26];
            if (!remote_.Read(p, bytes, sizeof bytes)) return;
            std::uint32_t type_cell;
            std::memcpy(&type_cell, bytes, 4);
            std::memcpy(&prop.get, bytes + 4, 4);
            std::memcpy(&prop.set, bytes + 8, 4);
            std::memcpy(&prop.stored, bytes + 12, 4);
            std::memcpy(&prop.index, bytes + 16, 4);
            std::memcpy(&prop.default_value, bytes + 20, 4);
            std::memcpy(&prop.name_index, bytes + 24, 2);
            if (!remote_.Short(p + 26, prop.name)) return;
            prop.type = ReadTypeRef(remote_, type_cell);
            info.props.push_back(prop);
            p += 27 + static_cast<Address>(prop.name.size());
        }
        info.after_props = p;
        // Extended property records: a count, then per record a flags byte, a pointer to a property
        // record, and attribute data whose first 16-bit word counts its own bytes. Taken only when
        // every record points at a property record with an identifier for a name.
        const std::uint16_t count = remote_.U16or0(p);
        Address q = p + 2;
        for (int i = 0; i < count && i < 4096; ++i) {
            const Address record = remote_.U32or0(q + 1);
            std::string name;
            if (record == 0 || !remote_.Short(record + 26, name) || !IsIdentifier(name)) return;
            const std::uint16_t attr = remote_.U16or0(q + 5);
            if (attr < 2) return;
            q += 5 + attr;
        }
        info.extended_props = count;
    }

    void LoadFieldTable(Address at, ClassInfo& info) {
        if (at == 0) return;
        info.field_count = remote_.U16or0(at);
        info.class_table = remote_.U32or0(at + 2);
        Address p = at + 6;
        for (int i = 0; i < info.field_count && i < 1024; ++i) {
            FieldRecord field;
            field.offset = remote_.U32or0(p);
            field.type_index = remote_.U16or0(p + 4);
            if (!remote_.Short(p + 6, field.name)) return;
            // The class table: a count, then cells of class addresses, indexed from 0.
            if (info.class_table != 0) {
                const Address cell = remote_.U32or0(info.class_table + 2 + 4u * field.type_index);
                const Address vmt = remote_.U32or0(cell);
                std::string name;
                if (vmt != 0 && remote_.Short(remote_.U32or0(vmt - 56), name)) field.type.name = name;
                field.type.info = vmt;
                field.type.kind = 7;
            }
            info.fields.push_back(field);
            p += 7 + static_cast<Address>(field.name.size());
        }
        // Extended field records: a count, then a flags byte, a pointer to a type-information cell, the
        // offset, the name, and attribute data that counts its own bytes.
        const std::uint16_t count = remote_.U16or0(p);
        Address q = p + 2;
        std::vector<FieldRecord> extended;
        for (int i = 0; i < count && i < 4096; ++i) {
            FieldRecord field;
            field.extended = true;
            field.flags = remote_.U8or0(q);
            const Address cell = remote_.U32or0(q + 1);
            field.offset = remote_.U32or0(q + 5);
            if (!remote_.Short(q + 9, field.name) || !IsIdentifier(field.name)) return;
            field.type = ReadTypeRef(remote_, cell);
            const Address attr_at = q + 10 + static_cast<Address>(field.name.size());
            field.attr_length = remote_.U16or0(attr_at);
            if (field.attr_length < 2) return;
            extended.push_back(field);
            q = attr_at + field.attr_length;
        }
        info.extended_fields = count;
        info.fields.insert(info.fields.end(), extended.begin(), extended.end());
    }

    Remote& remote_;
    std::map<Address, ClassInfo> cache_;
    std::vector<Address> order_;
};

void PrintClass(const ClassInfo& info, Classes& classes) {
    std::printf("class %s vmt=%s size=%u dynamic-count=%u parent=%s\n", info.name.c_str(),
                Hex(info.vmt).c_str(), info.size, info.dynamic_count,
                info.parent ? classes.Get(info.parent).name.c_str() : "(none)");
    for (std::size_t i = 0; i < std::size(ModernSlots); ++i)
        std::printf("  slot %d %s %s\n", ModernSlots[i].offset, Hex(info.slots[i]).c_str(),
                    ModernSlots[i].name);
    if (info.has_type_info) {
        std::printf(
            "  typeinfo kind=%u name=%s classtype=%s parentinfo->%s total-props=%d unit=%s own-props=%zu "
            "extended-props=%d\n",
            info.kind, info.type_name.c_str(),
            info.class_type == info.vmt ? "self" : Hex(info.class_type).c_str(),
            Hex(info.parent_info).c_str(), info.total_props, info.unit_name.c_str(), info.props.size(),
            info.extended_props);
        for (const PropRecord& prop : info.props)
            std::printf(
                "  prop %-22s type=%-28s get=%s set=%s stored=%s index=%08X default=%08X nameindex=%d\n",
                prop.name.c_str(), TypeText(prop.type).c_str(), ProcText(prop.get).c_str(),
                ProcText(prop.set).c_str(), ProcText(prop.stored).c_str(), prop.index, prop.default_value,
                prop.name_index);
    } else {
        std::printf("  typeinfo none\n");
    }
    std::printf("  fieldtable count=%u classtable=%s extended-fields=%d\n", info.field_count,
                Hex(info.class_table).c_str(), info.extended_fields);
    for (const FieldRecord& field : info.fields) {
        if (field.extended)
            std::printf("  fieldex +%-4u %-24s flags=%02X type=%s attr=%u\n", field.offset,
                        field.name.c_str(), field.flags, TypeText(field.type).c_str(), field.attr_length);
        else
            std::printf("  field   +%-4u %-24s typeindex=%u class=%s\n", field.offset, field.name.c_str(),
                        field.type_index, field.type.name.c_str());
    }
}

// --- what the type information says about one object --------------------------------------------

struct Offset {
    std::uint32_t offset = 0;
    std::string source;  // "prop CLASS.NAME" or "fieldex CLASS.NAME"
    std::string type;
    Address type_info = 0;
};

// Field offsets of a class chain by the names a reader needs: published properties read from fields
// under their property names, extended fields under their field names.
std::map<std::string, Offset> OffsetsOf(const std::vector<const ClassInfo*>& chain) {
    std::map<std::string, Offset> offsets;
    for (const ClassInfo* info : chain) {
        for (const PropRecord& prop : info->props) {
            if ((prop.get & 0xFF000000u) != 0xFF000000u) continue;
            const std::string key = "prop:" + prop.name;
            if (!offsets.count(key))
                offsets[key] = {prop.get & 0x00FFFFFFu, "prop " + info->name + "." + prop.name,
                                prop.type.name, prop.type.info};
        }
        for (const FieldRecord& field : info->fields) {
            if (!field.extended) continue;
            const std::string key = "field:" + field.name;
            if (!offsets.count(key))
                offsets[key] = {field.offset, "fieldex " + info->name + "." + field.name, field.type.name,
                                field.type.info};
        }
    }
    return offsets;
}

const Offset* Find(const std::map<std::string, Offset>& offsets, const std::string& key) {
    auto found = offsets.find(key);
    return found == offsets.end() ? nullptr : &found->second;
}

// Offsets of published properties read from fields, learnt from every class loaded so far: a field
// of TControl or TWinControl stands at the same offset in every descendant, so a property that one
// class publishes (TabStop, Visible, Font) tells where that field is for all of them.
std::map<std::string, std::uint32_t> Anchors(Classes& classes) {
    std::map<std::string, std::uint32_t> anchors;
    for (Address vmt : classes.Order()) {
        const ClassInfo& info = classes.Get(vmt);
        for (const PropRecord& prop : info.props)
            if ((prop.get & 0xFF000000u) == 0xFF000000u && !anchors.count(prop.name))
                anchors[prop.name] = prop.get & 0x00FFFFFFu;
    }
    return anchors;
}

// The structural rules: where a field stands relative to a published one. Each rule is added as
// "rule:NAME"; where the extended field information does not name the field, the rule's offset also
// stands in for "field:NAME". Only rules whose anchor the program publishes are made.
struct Rule {
    const char* field;
    const char* anchor;  // a published property, or "" for a fixed offset
    int delta;
    const char* needs;  // the class that declares the field
};
constexpr Rule Rules[] = {
    {"FOwner", "", 4, "TComponent"},
    {"FComponents", "Tag", 4, "TComponent"},
    {"FComponentState", "Tag", 16, "TComponent"},
    {"FParent", "Left", -16, "TControl"},
    {"FControlStyle", "Height", 4, "TControl"},
    {"FVisible", "Visible", 0, "TControl"},
    {"FEnabled", "Visible", 1, "TControl"},
    {"FFont", "Font", 0, "TControl"},
    {"FText", "HelpContext", 12, "TControl"},
    {"FControls", "TabStop", -12, "TWinControl"},
    {"FWinControls", "TabStop", -8, "TWinControl"},
    {"FResource", "Color", -8, "TFont"},
    {"FPixelsPerInch", "Color", 4, "TFont"},
};

void AddRules(std::map<std::string, Offset>& offsets, const std::vector<const ClassInfo*>& chain,
              const std::map<std::string, std::uint32_t>& anchors) {
    for (const Rule& rule : Rules) {
        const bool declared = std::any_of(chain.begin(), chain.end(),
                                          [&](const ClassInfo* info) { return info->name == rule.needs; });
        if (!declared) continue;
        std::uint32_t base = 0;
        if (*rule.anchor) {
            // TFont's Color is its own; the others are TControl's or TWinControl's fields.
            const std::string prop = rule.anchor;
            const Offset* own = Find(offsets, "prop:" + prop);
            if (own && std::string(rule.needs) == "TFont") {
                base = own->offset;
            } else if (std::string(rule.needs) == "TFont") {
                continue;
            } else if (own) {
                base = own->offset;
            } else if (auto found = anchors.find(prop); found != anchors.end()) {
                base = found->second;
            } else {
                continue;
            }
        }
        const Offset made{static_cast<std::uint32_t>(static_cast<int>(base) + rule.delta),
                          std::string("rule ") + rule.field + " = " + (*rule.anchor ? rule.anchor : "0") +
                              (rule.delta >= 0 ? " + " : " - ") + std::to_string(std::abs(rule.delta)),
                          std::string(rule.field) == "FText" ? "PWideChar" : "", 0};
        offsets["rule:" + std::string(rule.field)] = made;
        if (!offsets.count("field:" + std::string(rule.field)))
            offsets["field:" + std::string(rule.field)] = made;
    }
}

// --- the objects ------------------------------------------------------------------------------------

struct WindowInfo {
    HWND hwnd = nullptr;
    Address object = 0;  // from the property
    Address query = 0;   // the query message's answer
    bool query_answered = false;
    HWND parent = nullptr;
    RECT rect{};  // in the parent's client coordinates (screen for top-level windows)
    RECT client{};
    std::wstring text;
    std::string window_class;
    bool visible = false, enabled = false;
    std::uintptr_t font = 0;  // WM_GETFONT
};

struct Marks {
    ATOM window_atom = 0, control_atom = 0;
    UINT message = 0;
};

Marks MarksOf(HWND hwnd) {
    Marks marks;
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(hwnd, &pid);
    char name[64];
    std::snprintf(name, sizeof name, "Delphi%.8lX", pid);
    marks.window_atom = ::GlobalFindAtomA(name);
    std::snprintf(name, sizeof name, "ControlOfs%.8lX%.8lX",
                  static_cast<unsigned long>(::GetWindowLongA(hwnd, GWL_HINSTANCE)), thread);
    marks.control_atom = ::GlobalFindAtomA(name);
    marks.message = ::RegisterWindowMessageA(name);
    return marks;
}

Address PropOf(HWND hwnd, ATOM atom) {
    if (atom == 0) return 0;
    return static_cast<Address>(reinterpret_cast<std::uintptr_t>(
        ::GetPropA(hwnd, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)))));
}

WindowInfo Describe(HWND hwnd) {
    WindowInfo w;
    w.hwnd = hwnd;
    const Marks marks = MarksOf(hwnd);
    w.object = PropOf(hwnd, marks.control_atom);
    DWORD_PTR answer = 0;
    w.query_answered = ::SendMessageTimeoutA(hwnd, marks.message, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
    w.query = static_cast<Address>(answer);
    w.parent = ::GetParent(hwnd);
    if (::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) {
        ::GetWindowRect(hwnd, &w.rect);
        ::MapWindowPoints(HWND_DESKTOP, w.parent, reinterpret_cast<POINT*>(&w.rect), 2);
    } else {
        ::GetWindowRect(hwnd, &w.rect);
        w.parent = nullptr;
    }
    ::GetClientRect(hwnd, &w.client);
    wchar_t text[512] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 511, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000,
                          &got);
    w.text = text;
    char cls[128] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    w.window_class = cls;
    w.visible = ::IsWindowVisible(hwnd) != 0;
    w.enabled = ::IsWindowEnabled(hwnd) != 0;
    DWORD_PTR font = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 1000, &font);
    w.font = font;
    return w;
}

struct Program {
    Remote& remote;
    Classes classes;
    std::map<Address, WindowInfo> by_object;  // window objects
    std::map<HWND, Address> object_of;
    std::set<Address> dumped;
    int checks = 0, failures = 0;
    std::map<std::string, std::uint32_t> anchors;
};

void Check(Program& program, bool ok, const std::string& what) {
    ++program.checks;
    if (!ok) ++program.failures;
    std::printf("    check %s: %s\n", ok ? "ok  " : "FAIL", what.c_str());
}

std::int32_t I32(const std::vector<std::uint8_t>& bytes, std::uint32_t offset) {
    std::int32_t value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}
std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::uint32_t offset) {
    return static_cast<std::uint32_t>(I32(bytes, offset));
}

std::string ChainText(const std::vector<const ClassInfo*>& chain) {
    std::string text;
    for (const ClassInfo* info : chain) {
        if (!text.empty()) text += " < ";
        text += info->name + "(" + std::to_string(info->size) + ")";
    }
    return text;
}

std::string ClassNameOfObject(Program& program, Address object) {
    const Address vmt = program.remote.U32or0(object);
    if (vmt == 0) return "(unreadable)";
    const ClassInfo& info = program.classes.Get(vmt);
    return info.valid ? info.name : "(no class)";
}

bool Inherits(Program& program, Address object, const char* class_name) {
    for (const ClassInfo* info : program.classes.Chain(program.remote.U32or0(object)))
        if (info->name == class_name) return true;
    return false;
}

// Type information of a pointer (kind 20: the cell of the type pointed to follows the name) or of a
// record (kind 14, or 22 for a record with operators): size, managed fields, operators, then the named
// fields with their offsets. Nested records are dumped too.
void DumpTypeInfo(Remote& remote, Address info, const std::string& indent, int depth) {
    if (info == 0 || depth > 3) return;
    const std::uint8_t kind = remote.U8or0(info);
    std::string name;
    if (!remote.Short(info + 1, name)) return;
    Address p = info + 2 + static_cast<Address>(name.size());
    std::printf("%stype %s kind %u at %s\n", indent.c_str(), name.c_str(), kind, Hex(info).c_str());
    if (kind == 20) {
        DumpTypeInfo(remote, remote.U32or0(remote.U32or0(p)), indent + "  ", depth + 1);
        return;
    }
    if (kind == 6) {
        // A set: one byte (its size or ordinal type), then the cell of its element type.
        std::printf("%s  set, byte %u\n", indent.c_str(), remote.U8or0(p));
        DumpTypeInfo(remote, remote.U32or0(remote.U32or0(p + 1)), indent + "  ", depth + 1);
        return;
    }
    if (kind == 3) {
        // An enumeration: ordinal type byte, minimum, maximum, base type cell, then the names.
        const std::int32_t low = static_cast<std::int32_t>(remote.U32or0(p + 1));
        const std::int32_t high = static_cast<std::int32_t>(remote.U32or0(p + 5));
        Address q = p + 13;
        std::string names;
        for (std::int32_t v = low; v <= high && v - low < 64; ++v) {
            std::string value;
            if (!remote.Short(q, value)) break;
            names += " " + std::to_string(v) + "=" + value;
            q += 1 + static_cast<Address>(value.size());
        }
        std::printf("%s  enumeration %d..%d:%s\n", indent.c_str(), low, high, names.c_str());
        return;
    }
    if (kind != 14 && kind != 22) return;
    const std::uint32_t size = remote.U32or0(p);
    const std::uint32_t managed = remote.U32or0(p + 4);
    std::printf("%s  record size %u, %u managed fields\n", indent.c_str(), size, managed);
    if (managed > 256) return;
    p += 8 + 8 * managed;
    const std::uint8_t ops = remote.U8or0(p);
    p += 1 + 4u * ops;
    const std::uint32_t count = remote.U32or0(p);
    std::printf("%s  %u operators, %u named fields\n", indent.c_str(), ops, count);
    p += 4;
    for (std::uint32_t i = 0; i < count && i < 256; ++i) {
        const Address cell = remote.U32or0(p);
        const std::uint32_t offset = remote.U32or0(p + 4);
        const std::uint8_t flags = remote.U8or0(p + 8);
        std::string field;
        if (!remote.Short(p + 9, field) || !IsIdentifier(field)) {
            std::printf("%s  (field %u not readable)\n", indent.c_str(), i);
            return;
        }
        const TypeRef type = ReadTypeRef(remote, cell);
        std::printf("%s  field +%-3u %-16s flags=%02X type=%s\n", indent.c_str(), offset, field.c_str(),
                    flags, TypeText(type).c_str());
        if (type.kind == 14 || type.kind == 22) DumpTypeInfo(remote, type.info, indent + "    ", depth + 1);
        const Address attr = p + 10 + static_cast<Address>(field.size());
        const std::uint16_t attr_length = remote.U16or0(attr);
        if (attr_length < 2) return;
        p = attr + attr_length;
    }
}

void DumpFont(Program& program, Address font, std::uintptr_t window_font) {
    Remote& remote = program.remote;
    const auto chain = program.classes.Chain(remote.U32or0(font));
    std::printf("    font object %s chain %s\n", Hex(font).c_str(), ChainText(chain).c_str());
    if (chain.empty()) return;
    auto offsets = OffsetsOf(chain);
    AddRules(offsets, chain, program.anchors);
    const std::vector<std::uint8_t> bytes = remote.Bytes(font, chain.front()->size);
    std::printf("    font bytes:");
    for (std::size_t i = 0; i < bytes.size(); i += 4) std::printf(" +%zu=%s", i, Hex(U32(bytes, i)).c_str());
    std::printf("\n");
    for (const auto& [key, offset] : offsets)
        std::printf("    font %-24s +%-3u %-10s from %s = %s\n", key.c_str(), offset.offset,
                    offset.type.c_str(), offset.source.c_str(), Hex(U32(bytes, offset.offset)).c_str());
    const Offset* resource = Find(offsets, "field:FResource");
    if (!resource) return;
    const Address record = U32(bytes, resource->offset);
    static std::set<Address> shown;
    if (shown.insert(resource->type_info).second)
        DumpTypeInfo(remote, resource->type_info, "    font resource ", 0);
    const std::vector<std::uint8_t> rec = remote.Bytes(record, 72);
    std::printf("    font resource %s:", Hex(record).c_str());
    for (std::size_t i = 0; i < rec.size(); i += 4) std::printf(" +%zu=%s", i, Hex(U32(rec, i)).c_str());
    std::printf("\n");
    // Where the window's own font handle stands in the record, and the face name as a short text.
    for (std::size_t i = 0; i + 4 <= rec.size(); i += 4)
        if (window_font != 0 && U32(rec, i) == window_font)
            std::printf("    font resource: handle (WM_GETFONT) at +%zu\n", i);
    for (std::size_t i = 8; i + 2 < rec.size(); ++i) {
        const std::size_t length = rec[i];
        if (length < 3 || length > 31 || i + 1 + length > rec.size()) continue;
        const std::string name(reinterpret_cast<const char*>(&rec[i + 1]), length);
        if (IsIdentifier(name.substr(0, 1)) && std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ';
            }))
            std::printf("    font resource: face name \"%s\" as a short text at +%zu\n", name.c_str(), i);
    }
}

void DumpList(Program& program, const char* what, Address list, std::vector<Address>& items) {
    Remote& remote = program.remote;
    if (list == 0) {
        std::printf("    %s: nil\n", what);
        return;
    }
    const auto chain = program.classes.Chain(remote.U32or0(list));
    std::printf("    %s list %s chain %s\n", what, Hex(list).c_str(), ChainText(chain).c_str());
    if (chain.empty()) return;
    const std::vector<std::uint8_t> bytes = remote.Bytes(list, chain.front()->size);
    std::printf("    %s bytes:", what);
    for (std::size_t i = 0; i < bytes.size(); i += 4) std::printf(" +%zu=%s", i, Hex(U32(bytes, i)).c_str());
    std::printf("\n");
    static std::set<Address> records_shown;
    for (const auto& [key, offset] : OffsetsOf(chain)) {
        std::printf("    %s %-16s +%-3u %s\n", what, key.c_str(), offset.offset, offset.source.c_str());
        // The record inside a generic list that holds its items and count.
        if (offset.type_info && remote.U8or0(offset.type_info) == 14 &&
            records_shown.insert(offset.type_info).second)
            DumpTypeInfo(remote, offset.type_info, "    " + std::string(what) + " ", 0);
    }
    // Items pointer at +4 and count at +8 in every list class seen; the items array of a generic list is
    // a dynamic array whose length stands at -4.
    const Address array = U32(bytes, 4);
    const std::int32_t count = I32(bytes, 8);
    std::printf("    %s items=%s count=%d", what, Hex(array).c_str(), count);
    if (array != 0)
        std::printf(" array-length(-4)=%d refcount(-8)=%d", static_cast<int>(remote.U32or0(array - 4)),
                    static_cast<int>(remote.U32or0(array - 8)));
    std::printf("\n");
    if (count < 0 || count > 4096 || array == 0) return;
    std::vector<std::uint32_t> cells(static_cast<std::size_t>(count));
    if (count > 0 && !remote.Read(array, cells.data(), 4 * cells.size())) return;
    for (std::uint32_t cell : cells) {
        items.push_back(cell);
        std::printf("      item %s %s\n", Hex(cell).c_str(), ClassNameOfObject(program, cell).c_str());
    }
}

// A control, windowed (window != null) or not. `parent_object` is the object of the parent control.
void DumpControl(Program& program, Address object, const WindowInfo* window, Address parent_object,
                 int depth);

void DumpObjectFields(Program& program, Address object, const WindowInfo* window, Address parent_object,
                      std::vector<Address>& windowless) {
    Remote& remote = program.remote;
    const auto chain = program.classes.Chain(remote.U32or0(object));
    if (chain.empty()) return;
    const ClassInfo& leaf = *chain.front();
    auto offsets = OffsetsOf(chain);
    AddRules(offsets, chain, program.anchors);
    // Where the extended field information names a field, the rule must give the same offset.
    for (const auto& [key, rule] : offsets) {
        if (key.rfind("rule:", 0) != 0) continue;
        const Offset* named = Find(offsets, "field:" + key.substr(5));
        if (named && named->source.rfind("fieldex", 0) == 0)
            Check(program, named->offset == rule.offset,
                  rule.source + " = " + std::to_string(rule.offset) + " agrees with " + named->source + " +" +
                      std::to_string(named->offset));
        else
            std::printf("    %s = +%u (no extended field to compare)\n", rule.source.c_str(), rule.offset);
    }
    const std::vector<std::uint8_t> bytes = remote.Bytes(object, leaf.size);
    if (bytes.empty()) {
        std::printf("    instance unreadable\n");
        return;
    }
    std::printf("    monitor field (size-4) = %s\n", Hex(U32(bytes, leaf.size - 4)).c_str());
    static std::set<Address> sets_shown;
    for (const char* key : {"field:FControlStyle", "field:FComponentState"})
        if (const Offset* set = Find(offsets, key))
            if (set->type_info && sets_shown.insert(set->type_info).second)
                DumpTypeInfo(remote, set->type_info, "    ", 0);

    // Everything the type information names that a reader needs.
    static const char* const Wanted[] = {
        "prop:Name",
        "prop:Left",
        "prop:Top",
        "prop:Width",
        "prop:Height",
        "prop:Font",
        "prop:Visible",
        "prop:Enabled",
        "prop:Caption",
        "prop:Text",
        "prop:Tag",
        "prop:Color",
        "field:FOwner",
        "field:FName",
        "field:FComponents",
        "field:FComponentState",
        "field:FParent",
        "field:FLeft",
        "field:FTop",
        "field:FWidth",
        "field:FHeight",
        "field:FControlStyle",
        "field:FVisible",
        "field:FEnabled",
        "field:FText",
        "field:FFont",
        "field:FControls",
        "field:FWinControls",
        "field:FHandle",
        "field:FTabList",
        "field:FControlState",
        "field:FWindowProc",
    };
    for (const char* key : Wanted) {
        const Offset* found = Find(offsets, key);
        if (!found) {
            std::printf("    %-22s (not in type information)\n", key);
            continue;
        }
        std::printf("    %-22s +%-4u %-16s from %-36s = %s\n", key, found->offset, found->type.c_str(),
                    found->source.c_str(), Hex(U32(bytes, found->offset)).c_str());
    }
    auto offset_of = [&](const char* prop, const char* field) -> const Offset* {
        if (const Offset* found = Find(offsets, std::string("prop:") + prop)) return found;
        return Find(offsets, std::string("field:") + field);
    };

    // Name and owner.
    if (const Offset* name = offset_of("Name", "FName"))
        std::printf("    Name = %s\n", UStringText(ReadUString(remote, U32(bytes, name->offset))).c_str());
    std::printf("    +4 = %s (%s)\n", Hex(U32(bytes, 4)).c_str(),
                ClassNameOfObject(program, U32(bytes, 4)).c_str());
    if (const Address owner = U32(bytes, 4)) {
        // The owner lists the object among its components.
        Check(program, Inherits(program, owner, "TComponent"), "the owner (+4) is a TComponent");
        const auto owner_chain = program.classes.Chain(remote.U32or0(owner));
        auto owner_offsets = OffsetsOf(owner_chain);
        AddRules(owner_offsets, owner_chain, program.anchors);
        if (const Offset* components = Find(owner_offsets, "field:FComponents")) {
            const Address list = remote.U32or0(owner + components->offset);
            const Address array = remote.U32or0(list + 4);
            const std::int32_t count = static_cast<std::int32_t>(remote.U32or0(list + 8));
            bool listed = false;
            for (std::int32_t k = 0; k < count && k < 4096 && !listed; ++k)
                listed = remote.U32or0(array + 4u * static_cast<Address>(k)) == object;
            Check(program, listed,
                  "the owner's component list (" + components->source + ") holds the object");
        }
    }

    // Bounds against the window.
    const Offset* left = offset_of("Left", "FLeft");
    const Offset* top = offset_of("Top", "FTop");
    const Offset* width = offset_of("Width", "FWidth");
    const Offset* height = offset_of("Height", "FHeight");
    if (left && top && width && height) {
        const int l = I32(bytes, left->offset), t = I32(bytes, top->offset), w = I32(bytes, width->offset),
                  h = I32(bytes, height->offset);
        std::printf("    bounds = (%d, %d) %dx%d\n", l, t, w, h);
        if (window) {
            const RECT& r = window->rect;
            char text[160];
            std::snprintf(text, sizeof text, "bounds (%d, %d) %dx%d against the window's (%ld, %ld) %ldx%ld",
                          l, t, w, h, r.left, r.top, r.right - r.left, r.bottom - r.top);
            const bool top_level = window->parent == nullptr;
            // A top-level form's own rectangle is in screen coordinates; the size must still agree.
            const bool same =
                (top_level || (l == r.left && t == r.top)) && w == r.right - r.left && h == r.bottom - r.top;
            Check(program, same, text);
        }
    }

    // Parent: from the type information, and by scanning for the parent object's address.
    const Offset* parent = Find(offsets, "field:FParent");
    std::string scan;
    if (parent_object != 0)
        for (std::uint32_t i = 4; i + 4 <= bytes.size(); i += 4)
            if (U32(bytes, i) == parent_object) scan += " +" + std::to_string(i);
    std::printf("    parent object %s found at:%s\n", Hex(parent_object).c_str(),
                scan.empty() ? " (nowhere)" : scan.c_str());
    if (parent && parent_object != 0)
        Check(program, U32(bytes, parent->offset) == parent_object,
              "FParent +" + std::to_string(parent->offset) + " holds the parent control's object");
    if (parent && U32(bytes, parent->offset) != 0)
        Check(program, Inherits(program, U32(bytes, parent->offset), "TWinControl"),
              "the parent is a TWinControl");

    // Window handle.
    if (window) {
        std::string where;
        const auto hwnd = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window->hwnd));
        for (std::uint32_t i = 4; i + 4 <= bytes.size(); i += 4)
            if (U32(bytes, i) == hwnd) where += " +" + std::to_string(i);
        std::printf("    window handle %s found at:%s\n", Hex(hwnd).c_str(),
                    where.empty() ? " (nowhere)" : where.c_str());
        if (const Offset* handle = Find(offsets, "field:FHandle"))
            Check(program, U32(bytes, handle->offset) == hwnd,
                  "FHandle +" + std::to_string(handle->offset) + " holds the window handle");
    }

    // Text: every field that points at a UnicodeString equal to the window's text (or, for a windowless
    // control, any UnicodeString at all).
    for (std::uint32_t i = 4; i + 4 <= bytes.size(); i += 4) {
        const Address p = U32(bytes, i);
        if (p < 0x10000) continue;
        const UString s = ReadUString(remote, p);
        if (!s.ok || s.code_page != 1200 || s.element_size != 2 || !s.nul_after) continue;
        const bool is_window_text = window && !s.text.empty() && s.text == window->text;
        std::printf("    UnicodeString at +%u%s: %s\n", i, is_window_text ? " (= window text)" : "",
                    UStringText(s).c_str());
    }
    if (const Offset* text = Find(offsets, "field:FText")) {
        const Address at = U32(bytes, text->offset);
        if (text->type == "PWideChar" || text->type == "PChar") {
            std::printf("    FText (%s) = %s\n", text->type.c_str(), PWideText(remote, at).c_str());
            // A control with a window keeps its text in the window, not in the field.
            if (window)
                Check(program, at == 0,
                      "FText +" + std::to_string(text->offset) + " is nil for a control with a window");
        } else {
            const UString s = ReadUString(remote, at);
            std::printf("    FText (%s) = %s\n", text->type.c_str(), UStringText(s).c_str());
            if (window && !window->text.empty())
                Check(program, s.ok && s.text == window->text,
                      "FText +" + std::to_string(text->offset) + " equals the window text");
        }
    }

    // Texts kept as a NUL-terminated UTF-16 block whose byte size (the characters, the NUL and the
    // size cell itself) stands in the four bytes before it.
    for (std::uint32_t i = 4; i + 4 <= bytes.size(); i += 4) {
        const Address p = U32(bytes, i);
        if (p < 0x10000) continue;
        const std::uint32_t block = remote.U32or0(p - 4);
        if (block < 6 || block > 8192 || block % 2 != 0) continue;
        std::vector<wchar_t> chars((block - 4) / 2);
        if (!remote.Read(p, chars.data(), 2 * chars.size()) || chars.back() != 0) continue;
        if (std::find(chars.begin(), chars.end() - 1, L'\0') != chars.end() - 1) continue;
        std::printf("    sized UTF-16 text at +%u: \"%s\"\n", i, Utf8(std::wstring(chars.data())).c_str());
    }
    // Every cell that points at a list object, with where its items are.
    for (std::uint32_t i = 4; i + 4 <= bytes.size(); i += 4) {
        const Address p = U32(bytes, i);
        if (p < 0x10000) continue;
        const Address vmt = remote.U32or0(p);
        if (vmt == 0) continue;
        bool list = false;
        for (const ClassInfo* info : program.classes.Chain(vmt))
            if (info->name == "TList" || info->name.rfind("TList<", 0) == 0) list = true;
        if (!list) continue;
        const Address array = remote.U32or0(p + 4);
        const std::int32_t count = static_cast<std::int32_t>(remote.U32or0(p + 8));
        std::string items;
        int windowed = 0;
        for (std::int32_t k = 0; k < count && k < 64; ++k) {
            const Address item = remote.U32or0(array + 4u * static_cast<Address>(k));
            if (program.by_object.count(item)) ++windowed;
            if (k < 4) items += " " + ClassNameOfObject(program, item);
        }
        std::printf("    list at +%u: %s count=%d windowed=%d%s%s\n", i,
                    ClassNameOfObject(program, p).c_str(), count, windowed, items.c_str(),
                    count > 4 ? " ..." : "");
    }
    // Visible and enabled bytes.
    if (const Offset* visible = offset_of("Visible", "FVisible"))
        std::printf("    Visible byte +%u = %u%s\n", visible->offset,
                    (visible->offset < bytes.size() ? bytes[visible->offset] : 0u),
                    window ? (window->visible ? " (window visible)" : " (window hidden)") : "");
    if (const Offset* enabled = Find(offsets, "field:FEnabled"))
        std::printf("    Enabled byte +%u = %u%s\n", enabled->offset,
                    (enabled->offset < bytes.size() ? bytes[enabled->offset] : 0u),
                    window ? (window->enabled ? " (window enabled)" : " (window disabled)") : "");

    // Font.
    if (const Offset* font = offset_of("Font", "FFont")) {
        const Address f = U32(bytes, font->offset);
        if (f != 0) {
            Check(program, Inherits(program, f, "TFont"),
                  "the font at +" + std::to_string(font->offset) + " is a TFont");
            DumpFont(program, f, window ? window->font : 0);
        }
    }

    // Child lists.
    std::vector<Address> windowed;
    if (const Offset* controls = Find(offsets, "field:FControls"))
        DumpList(program, "FControls", U32(bytes, controls->offset), windowless);
    if (const Offset* wins = Find(offsets, "field:FWinControls"))
        DumpList(program, "FWinControls", U32(bytes, wins->offset), windowed);
    if (const Offset* components = Find(offsets, "field:FComponents")) {
        std::vector<Address> owned;
        DumpList(program, "FComponents", U32(bytes, components->offset), owned);
    }
    // The window objects among the windowed children must be the objects of the child windows.
    for (Address child : windowed) {
        auto found = program.by_object.find(child);
        if (found == program.by_object.end()) continue;
        Check(program, found->second.parent == (window ? window->hwnd : nullptr),
              "windowed child " + Hex(child) + " is the object of a child window of this window");
    }
}

void DumpControl(Program& program, Address object, const WindowInfo* window, Address parent_object,
                 int depth) {
    if (!program.dumped.insert(object).second || depth > 16) return;
    Remote& remote = program.remote;
    const auto chain = program.classes.Chain(remote.U32or0(object));
    std::printf("\nobject %s %s\n", Hex(object).c_str(), window ? "(window)" : "(windowless)");
    std::printf("    chain %s\n", ChainText(chain).c_str());
    if (window)
        std::printf(
            "    window %s class=%s text=\"%s\" rect=(%ld, %ld)-(%ld, %ld) client=%ldx%ld visible=%d "
            "enabled=%d parent-window=%s query=%s%s font=%s\n",
            Hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window->hwnd))).c_str(),
            window->window_class.c_str(), Utf8(window->text).c_str(), window->rect.left, window->rect.top,
            window->rect.right, window->rect.bottom, window->client.right, window->client.bottom,
            window->visible, window->enabled,
            Hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window->parent))).c_str(),
            Hex(window->query).c_str(), window->query_answered ? "" : " (no answer)",
            Hex(static_cast<std::uint32_t>(window->font)).c_str());
    if (chain.empty() || chain.back()->name != "TObject") {
        std::printf("    chain does not reach TObject\n");
        return;
    }
    std::vector<Address> windowless;
    DumpObjectFields(program, object, window, parent_object, windowless);
    for (Address child : windowless)
        if (child != 0 && !program.by_object.count(child))
            DumpControl(program, child, nullptr, object, depth + 1);
}

// --- finding the windows ------------------------------------------------------------------------------

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}
BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

bool IsVcl(HWND hwnd) { return PropOf(hwnd, MarksOf(hwnd).window_atom) != 0; }

std::vector<HWND> VclTopWindows() {
    std::vector<HWND> all, vcl;
    ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&all));
    for (HWND hwnd : all)
        if (IsVcl(hwnd) && ::IsWindowVisible(hwnd)) vcl.push_back(hwnd);
    return vcl;
}

// --- a reader-like lookup, timed ----------------------------------------------------------------------

// What a reader caches per class: the chain's offsets, and the instance size.
struct LookupCache {
    std::map<Address, std::map<std::string, Offset>> offsets;
    std::map<Address, std::uint32_t> sizes;
};

// Loads a class chain the way a reader would: class records and type information through the page
// cache, once per class.
const std::map<std::string, Offset>& ClassOffsets(Program& program, Address vmt, LookupCache& cache) {
    auto known = cache.offsets.find(vmt);
    if (known != cache.offsets.end()) return known->second;
    program.remote.paged = true;
    const auto chain = program.classes.Chain(vmt);
    program.remote.paged = false;
    cache.sizes[vmt] = chain.empty() ? 0 : chain.front()->size;
    auto offsets = OffsetsOf(chain);
    AddRules(offsets, chain, program.anchors);
    return cache.offsets.emplace(vmt, std::move(offsets)).first->second;
}

std::uint32_t Field(const std::map<std::string, Offset>& offsets, const std::vector<std::uint8_t>& bytes,
                    const char* prop, const char* field) {
    if (const Offset* o = Find(offsets, std::string("prop:") + prop)) return U32(bytes, o->offset);
    if (const Offset* o = Find(offsets, std::string("field:") + field)) return U32(bytes, o->offset);
    return 0;
}

// The name and class of a component: its class pointer, its instance, its name.
void ReadNamed(Program& program, Address object, LookupCache& cache, std::vector<std::uint8_t>& bytes) {
    const Address vmt = program.remote.U32or0(object);
    const auto& offsets = ClassOffsets(program, vmt, cache);
    bytes = program.remote.Bytes(object, cache.sizes[vmt]);
    ReadUString(program.remote, Field(offsets, bytes, "Name", "FName"));
}

// What the page shows for one window: the object, its chain and offsets, instance, name, text, font
// and its resource record, and the names of owner and parent.
void Lookup(Program& program, HWND hwnd, LookupCache& cache) {
    Remote& remote = program.remote;
    const Marks marks = MarksOf(hwnd);
    Address object = 0;
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutA(hwnd, marks.message, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer)
        object = static_cast<Address>(answer);
    if (!object) object = PropOf(hwnd, marks.control_atom);
    std::vector<std::uint8_t> bytes, other;
    ReadNamed(program, object, cache, bytes);
    const auto& offsets = cache.offsets[remote.U32or0(object)];
    if (const Address text = Field(offsets, bytes, "", "FText")) PWideText(remote, text);
    if (const Address font = Field(offsets, bytes, "Font", "FFont")) {
        const Address font_vmt = remote.U32or0(font);
        const auto& font_offsets = ClassOffsets(program, font_vmt, cache);
        const std::vector<std::uint8_t> font_bytes = remote.Bytes(font, cache.sizes[font_vmt]);
        if (const Offset* resource = Find(font_offsets, "field:FResource"))
            remote.Bytes(U32(font_bytes, resource->offset), 164);
        else
            remote.Bytes(U32(font_bytes, 16), 164);
    }
    if (const Address owner = U32(bytes, 4)) ReadNamed(program, owner, cache, other);
    if (const Address parent = Field(offsets, bytes, "", "FParent")) ReadNamed(program, parent, cache, other);
}

// A finder move over a window control: its list of windowless children, and each child's instance.
void MoveOver(Program& program, Address object, LookupCache& cache) {
    Remote& remote = program.remote;
    const Address vmt = remote.U32or0(object);
    const auto& offsets = ClassOffsets(program, vmt, cache);
    const std::vector<std::uint8_t> bytes = remote.Bytes(object, cache.sizes[vmt]);
    const Offset* controls = Find(offsets, "field:FControls");
    if (!controls) return;
    std::uint32_t header[3] = {};
    if (!remote.Read(U32(bytes, controls->offset), header, sizeof header)) return;
    const std::int32_t count = static_cast<std::int32_t>(header[2]);
    if (count <= 0 || count > 4096) return;
    std::vector<std::uint32_t> items(static_cast<std::size_t>(count));
    if (!remote.Read(header[1], items.data(), 4 * items.size())) return;
    for (Address child : items) {
        const Address child_vmt = remote.U32or0(child);
        ClassOffsets(program, child_vmt, cache);
        remote.Bytes(child, cache.sizes[child_vmt]);
    }
}

// Runs the step `runs` times and prints its calls per run and the median time.
// Before each run, `cold` clears every cache (the class records, the pages, the offsets per class).
template <class Step>
void Time(Program& program, const std::string& what, Step step, int runs, LookupCache* cold) {
    std::vector<long long> times;
    std::uint64_t calls = 0;
    for (int i = 0; i < runs; ++i) {
        if (cold) {
            program.classes.Forget();
            program.remote.pages.clear();
            *cold = LookupCache{};
        }
        const std::uint64_t before = program.remote.calls;
        const auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
                .count());
        calls = program.remote.calls - before;
    }
    std::sort(times.begin(), times.end());
    std::printf("bench %-40s ReadProcessMemory calls=%-4llu median time=%lld us of %d runs, %s caches\n",
                what.c_str(), static_cast<unsigned long long>(calls), times[times.size() / 2], runs,
                cold ? "cold" : "warm");
}

// Times lookups of the main form, of the first TButton window of any of the program's forms, and finder
// moves over the main form's window control with the most windowless children.
void Bench(Program& program, HWND form, const std::vector<HWND>& tops) {
    HWND button = nullptr;
    for (HWND top : tops) {
        std::vector<HWND> windows;
        ::EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&windows));
        for (HWND child : windows) {
            char cls[64] = {};
            ::GetClassNameA(child, cls, sizeof cls);
            if (!button && std::strcmp(cls, "TButton") == 0) button = child;
        }
    }
    Address busiest = 0;
    std::size_t most = 0;
    std::vector<HWND> children;
    ::EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        auto found = program.object_of.find(child);
        if (found == program.object_of.end()) continue;
        LookupCache probe_cache;
        const Address vmt = program.remote.U32or0(found->second);
        const auto& offsets = ClassOffsets(program, vmt, probe_cache);
        const Offset* controls = Find(offsets, "field:FControls");
        if (!controls) continue;
        const Address list = program.remote.U32or0(found->second + controls->offset);
        const std::size_t count = list ? program.remote.U32or0(list + 8) : 0;
        if (count > most && count < 4096) {
            most = count;
            busiest = found->second;
        }
    }
    char title[128] = {};
    ::GetWindowTextA(form, title, sizeof title);
    std::printf("bench form \"%s\"\n", title);
    LookupCache cache;
    Time(
        program, "form, first lookup", [&] { Lookup(program, form, cache); }, 11, &cache);
    Time(
        program, "form, repeated lookup", [&] { Lookup(program, form, cache); }, 21, nullptr);
    if (button) {
        Time(
            program, "button, first lookup", [&] { Lookup(program, button, cache); }, 11, &cache);
        Time(
            program, "button, repeated lookup", [&] { Lookup(program, button, cache); }, 21, nullptr);
    }
    if (busiest) {
        const std::string what = "finder move over " + std::to_string(most) + " windowless";
        Time(
            program, what + ", first", [&] { MoveOver(program, busiest, cache); }, 11, &cache);
        Time(
            program, what + ", repeated", [&] { MoveOver(program, busiest, cache); }, 21, nullptr);
    }
    Time(
        program, "query message alone",
        [&] {
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(form, MarksOf(form).message, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
        },
        21, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    const bool bench = argc > 1 && std::strcmp(argv[1], "--bench") == 0;
    const bool list = argc > 1 && std::strcmp(argv[1], "--tops") == 0;
    const std::vector<HWND> tops = VclTopWindows();
    if (tops.empty()) {
        std::printf("no visible window with the VCL's window property\n");
        return 2;
    }
    if (list) {
        for (HWND top : tops) {
            char cls[128] = {};
            ::GetClassNameA(top, cls, sizeof cls);
            std::printf("top %s class=%s\n",
                        Hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(top))).c_str(), cls);
        }
        return 0;
    }
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tops.front(), &pid);
    Remote remote(pid);
    if (!remote.ok()) {
        std::printf("cannot open process %lu for reading\n", pid);
        return 3;
    }
    Program program{remote, Classes(remote), {}, {}, {}, 0, 0, {}};

    // Every VCL window of the process: the top-level forms and their child windows.
    std::vector<HWND> windows;
    for (HWND top : tops) {
        windows.push_back(top);
        ::EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&windows));
    }
    for (HWND hwnd : windows) {
        if (!IsVcl(hwnd)) continue;
        WindowInfo info = Describe(hwnd);
        if (info.object == 0) continue;
        program.object_of[hwnd] = info.object;
        program.by_object[info.object] = info;
    }
    // Loads the classes of every window object first, so that the published properties of all of them
    // can stand in for fields that a class does not publish itself.
    for (const auto& [object, info] : program.by_object) program.classes.Chain(remote.U32or0(object));
    program.anchors = Anchors(program.classes);
    if (bench) {
        HWND form = tops.front();
        for (HWND top : tops) {
            char cls[64] = {};
            ::GetClassNameA(top, cls, sizeof cls);
            if (std::strcmp(cls, "TStartupForm") != 0) form = top;
        }
        Bench(program, form, tops);
        return 0;
    }

    std::printf("process %lu, %zu VCL top-level windows, %zu VCL windows with an object\n", pid, tops.size(),
                program.by_object.size());
    for (HWND top : tops) {
        const WindowInfo info = Describe(top);
        std::printf("top %s class=%s text=\"%s\" property=%s query=%s%s\n",
                    Hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(top))).c_str(),
                    info.window_class.c_str(), Utf8(info.text).c_str(), Hex(info.object).c_str(),
                    Hex(info.query).c_str(), info.query_answered ? "" : " (no answer)");
    }
    // Windows in the order found (parents before children).
    for (HWND hwnd : windows) {
        auto found = program.object_of.find(hwnd);
        if (found == program.object_of.end()) continue;
        const WindowInfo& info = program.by_object[found->second];
        Address parent_object = 0;
        if (info.parent) {
            auto parent = program.object_of.find(info.parent);
            if (parent != program.object_of.end()) parent_object = parent->second;
        }
        DumpControl(program, found->second, &info, parent_object, 0);
    }
    // Controls owned by the forms that no window list led to (for example those on hidden pages).
    for (HWND top : tops) {
        const Address form = program.object_of[top];
        const auto chain = program.classes.Chain(remote.U32or0(form));
        auto offsets = OffsetsOf(chain);
        AddRules(offsets, chain, program.anchors);
        const Offset* components = Find(offsets, "field:FComponents");
        if (!components) continue;
        const Address list = remote.U32or0(form + components->offset);
        const Address array = remote.U32or0(list + 4);
        const std::int32_t count = static_cast<std::int32_t>(remote.U32or0(list + 8));
        std::printf("\n==== components of %s not reached through windows\n", Hex(form).c_str());
        for (std::int32_t k = 0; k < count && k < 1024; ++k) {
            const Address item = remote.U32or0(array + 4u * static_cast<Address>(k));
            if (program.dumped.count(item) || !Inherits(program, item, "TControl")) continue;
            auto item_chain = program.classes.Chain(remote.U32or0(item));
            auto item_offsets = OffsetsOf(item_chain);
            AddRules(item_offsets, item_chain, program.anchors);
            const Offset* parent = Find(item_offsets, "field:FParent");
            DumpControl(program, item, nullptr, parent ? remote.U32or0(item + parent->offset) : 0, 0);
        }
    }
    std::printf("\n==== classes\n");
    const std::vector<Address> order = program.classes.Order();
    for (Address vmt : order) {
        const ClassInfo& info = program.classes.Get(vmt);
        if (info.valid) PrintClass(info, program.classes);
    }
    std::printf("\n%d checks, %d failed; %llu ReadProcessMemory calls\n", program.checks, program.failures,
                static_cast<unsigned long long>(remote.calls));
    return program.failures == 0 ? 0 : 1;
}
