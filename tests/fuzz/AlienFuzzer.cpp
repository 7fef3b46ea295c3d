// Fuzzes the alien reader over a program of the modern layout whose memory the input damages: after a
// first byte that picks the generation, every 7 bytes overwrite 4 bytes of the image at an offset of
// their own. Every lookup that the Delphi-VCL page makes then runs over each window; the reader must
// neither crash nor hang nor allocate without bound, whatever it answers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"

namespace {

void ShowAll(TAlienControl* c) {
    if (!c) return;
    c->Name();
    c->Text();
    c->BoundsRect();
    c->ClientRect();
    if (TAlienFont* font = c->Font()) {
        font->Name();
        font->Size();
        font->Style();
        font->Color();
    }
    if (TAlienComponent* parent = c->Parent()) parent->Name();
    if (TAlienComponent* owner = c->Owner()) owner->Name();
    ClassHierarchy(c->ClassType());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // Built once per generation; each input's damage is undone after it ran.
    static TModernProgram programs[] = {TModernProgram(TModernGeneration::Delphi2009),
                                        TModernProgram(TModernGeneration::XE2)};
    TModernProgram& program = programs[data[0] & 1];
    TAlienMemory& memory = program.Memory;
    const std::uint32_t image = memory.End() - TAlienMemory::Base;
    std::vector<std::pair<std::uint32_t, std::array<unsigned char, 4>>> undo;
    for (std::size_t i = 1; i + 7 <= size; i += 7) {
        const std::uint32_t at =
            TAlienMemory::Base + (data[i] | data[i + 1] << 8 | data[i + 2] << 16) % (image - 3);
        std::array<unsigned char, 4> old{};
        memory.read(at, old.data(), old.size());
        undo.emplace_back(at, old);
        memory.Write(at, data + i + 3, 4);
    }
    for (std::uint32_t window :
         {TModernProgram::FormWindow, TModernProgram::ButtonWindow, TModernProgram::PanelWindow}) {
        try {
            TAlienApplication app(program.Platform, window);
            for (std::optional<TAlienPoint> point :
                 {std::optional<TAlienPoint>(), std::optional(TAlienPoint{20, 60}),
                  std::optional(TAlienPoint{20, 230}), std::optional(TAlienPoint{20, 70})})
                ShowAll(FindComponent(app, window, point));
        } catch (const ui::Exception&) {
            // What the lookups raise for objects that fail validation: nothing is shown.
        }
    }
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) memory.Write(it->first, it->second.data(), 4);
    return 0;
}
