#pragma once
// Window handles are 32-bit values on every Windows, also between 32- and 64-bit processes; the
// handle box, the history and another process's memory all carry them as such.
#include <cstdint>
#include <type_traits>

template <class Handle>
std::uint32_t HandleValue(Handle handle) {
    static_assert(std::is_pointer_v<Handle>);
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

template <class Handle>
Handle HandleFromValue(std::uint32_t value) {
    static_assert(std::is_pointer_v<Handle>);
    return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(value));
}
