#include <doctest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "alien/AlienPlatformWin.h"

TEST_CASE("process memory is read through counted ReadProcessMemory calls") {
    TWin32AlienPlatform platform;
    std::unique_ptr<ByteSource> memory = platform.OpenForReading(::GetCurrentProcessId());
    const char text[] = "Button1";
    char buffer[sizeof text] = {};
    const std::uint64_t calls = platform.ReadCalls();
    CHECK(memory->read(reinterpret_cast<std::uintptr_t>(text), buffer, sizeof buffer) == sizeof buffer);
    CHECK(std::string(buffer) == "Button1");
    CHECK(platform.ReadCalls() == calls + 1);
    CHECK(memory->read(0x100000000ull, buffer, 4) == 0);
}

TEST_CASE("a process that cannot be opened gives a source that reads nothing") {
    TWin32AlienPlatform platform;
    std::unique_ptr<ByteSource> memory = platform.OpenForReading(0xFFFFFFF0);
    int value = 7;
    CHECK(memory->read(reinterpret_cast<std::uintptr_t>(&value), &value, sizeof value) == 0);
    CHECK(value == 7);
    CHECK(platform.ReadCalls() == 0);
}
