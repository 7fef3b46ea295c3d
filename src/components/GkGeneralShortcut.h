#pragma once
// The two ways ResolveShortcut can talk to the shell link object, so that both can be exercised on one
// system: ResolveShortcut picks the wide one on NT and the ANSI one on the Windows 95 family.
#include <string>

enum class LinkInterface { Wide, Ansi };

// Target path of a shortcut file through IShellLinkW or IShellLinkA; empty on any failure.
std::wstring ResolveShortcutWith(const std::wstring& file, LinkInterface which);
