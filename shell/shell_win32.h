// The Windows application: the main window, its menu and the shell's own windows.
#pragma once
#include <windows.h>

#include <string>

#include "core/machine_state.h"
#include "files/config.h"
#include "files/program_file.h"
#include "machine/display.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "resources/resource.h"
#include "shell/errors.h"
#include "sound/sound_device_win32.h"
#include "sound/sound_output.h"
#include "video/bmp.h"

extern HINSTANCE app_instance;
extern HWND main_window;
extern HMENU main_menu;
extern char window_title[];  // "Wren81 v" and the version
extern const char version_text[];

// The three fonts shared by the About box and the debugger windows.
extern HFONT font_label;        // Arial 15, bold
extern HFONT font_fixed;        // Consolas 13
extern HFONT font_fixed_large;  // Consolas 26, bold

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Full screen: the draw size and window position it came from.
extern int saved_draw_size;
extern int windowed_left, windowed_top;

// Moves the check marks of the View menu's size entries to the current draw size.
void check_draw_size_menu();
// What the configuration file's settings need beyond the machine, after it is read.
void apply_loaded_configuration();

// A path the ANSI functions can open: the name itself where the code page holds
// it, otherwise the file system's short name.
std::string ansi_path(const wchar_t* path);

// Runs a modal box or dialog with the emulation paused, and resumes it afterwards
// unless it was paused before.
template <typename Modal>
auto while_paused(Modal modal)
{
    const bool was_paused = emulation_paused;
    sound_pause();
    const auto result = modal();
    if (!was_paused) sound_resume();
    return result;
}
int paused_message_box(const char* text, const char* title, UINT type);

// About, Help and quitting.
void show_about();
void show_help();
void quit_program();

// Program files: the Open File dialog and a file dropped on the main window.
void open_program_dialog();
void drop_program_file(HDROP drop);

// The Options command's property sheet.
void open_options();

// The keyboard windows of the Tools menu.
void open_keyboard_helper();
void open_display_keyboard();
void close_tool_windows();
// The Tools menu's calculator: opened once, brought forward by a second command.
void open_calculator();
void close_calculator();
bool calculator_dialog_message(MSG* msg);
// Lets a modeless window of the shell see its dialog messages; true when it took one.
bool shell_dialog_message(MSG* msg);
