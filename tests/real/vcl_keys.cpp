// vcl_keys.exe CLASS KEY...: acts as the user for the real-program probes. Brings the top-level window
// of window class CLASS to the front and types the keys with SendInput: "esc", or a letter, optionally
// as "ctrl+LETTER". Exit code 2 when no such window exists.
#include <windows.h>

#include <cctype>
#include <cstring>

namespace {

void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    HWND window = ::FindWindowA(argv[1], nullptr);
    if (!window) return 2;
    ::SetForegroundWindow(window);
    ::Sleep(100);  // the target has to take the focus before the first key
    for (int i = 2; i < argc; ++i) {
        const char* name = argv[i];
        const bool ctrl = std::strncmp(name, "ctrl+", 5) == 0;
        if (ctrl) name += 5;
        const WORD key = std::strcmp(name, "esc") == 0
                             ? VK_ESCAPE
                             : static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
        if (ctrl) Key(VK_CONTROL, false);
        Key(key, false);
        Key(key, true);
        if (ctrl) Key(VK_CONTROL, true);
    }
    return 0;
}
