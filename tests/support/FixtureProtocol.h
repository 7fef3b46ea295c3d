#pragma once
// Names shared by the fixture programs and FixtureProcess, which drives them.
#include <windows.h>

#include <string>

namespace fixture_protocol {
// Registered window message: the thread of the receiving window stops answering for wParam ms.
inline constexpr wchar_t HangMessage[] = L"ScrutelFixtureHang";
// Manual-reset event that the fixture sets while a thread of its own is hung on purpose.
inline std::wstring HungEventName(DWORD pid) { return L"ScrutelFixtureHung." + std::to_wstring(pid); }
}  // namespace fixture_protocol
