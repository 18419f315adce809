// The program's entry point: start-up in its fixed order, then the message loop,
// which runs one emulated frame per pass and never waits for messages.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "core/frame_loop.h"
#include "core/host.h"
#include "core/machine_state.h"
#include "shell/shell_win32.h"
#include "sound/pacing.h"
#include "video/output_win32.h"

HINSTANCE app_instance;
HWND main_window;
HMENU main_menu;
const char version_text[] = "0.020";
char window_title[32];

namespace {

const char main_class_name[] = "ZX81 Emulator";

bool register_main_class(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_WREN81));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = main_class_name;
    return RegisterClassExA(&wc) != 0;
}

// Folders, the machine's start-up state, and the configuration file, which
// rebuilds the machine from its settings.
void start_machine()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    config_set_folders(n > 0 && n < MAX_PATH ? ansi_path(path) : std::string(".\\wren81.exe"));
    memory_init(program_folder + "\\roms\\");
    display_init();
    release_all_keys();

    if (config_load() == 1) {
        // Read the fresh file back; where it could not be written the defaults
        // stand, and the machine is built from them here.
        const DWORD written = GetFileAttributesA(config_file_path().c_str());
        if (written != INVALID_FILE_ATTRIBUTES && !(written & FILE_ATTRIBUTE_DIRECTORY))
            config_load();
        else
            machine_hard_reset();
    }
}

// The command line after the program's own name, as the user typed it.
std::string command_line_path()
{
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {}
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return *p ? ansi_path(p) : std::string();
}

int run_message_loop()
{
    for (;;) {
        run_frame();
        pace_frame();
        update_status_bar();
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return int(msg.wParam);
            if (shell_dialog_message(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (emulation_paused) {
            Sleep(1);  // nothing to run: spare the processor until the next pass
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    app_instance = instance;
    LoadLibraryA("riched32.dll");
    if (!register_main_class(instance)) return 1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    main_menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));

    start_machine();
    lstrcpyA(window_title, "Wren81 v");
    lstrcatA(window_title, version_text);
    apply_border_preset();
    size_window();
    main_window = CreateWindowExA(WS_EX_ACCEPTFILES, main_class_name, window_title, WS_OVERLAPPEDWINDOW,
                                  placement_main_window.left, placement_main_window.top, window_width,
                                  window_height, nullptr, main_menu, instance, nullptr);
    if (!main_window) return 1;
    create_status_bar();
    sound_set_window(main_window);
    sound_init();  // a failure has named its step in one box; the program runs on without sound

    apply_loaded_configuration();
    ShowWindow(main_window, show);
    draw_frame();

    const std::string path = command_line_path();
    if (!path.empty()) load_program_from_path(path);
    fps_tick = GetTickCount();
    return run_message_loop();
}
