// temporary: declarations owned elsewhere, removed at merge
// Each block uses the owner's header as soon as it exists in the tree and falls
// back to the agreed names otherwise, so the Windows program builds meanwhile.
#pragma once
#include <cstdint>
#include <string>

#if __has_include("machine/display.h")
#include "machine/display.h"
#else
constexpr int frame_buffer_width = 520;
constexpr int frame_buffer_height = 380;
constexpr int visible_width = 384;
constexpr int visible_height = 296;
extern uint32_t frame_buffer[frame_buffer_width * frame_buffer_height];
extern uint32_t picture_colour;
void display_init();
void set_palette();
#endif

#if __has_include("machine/memory.h")
#include "machine/memory.h"
#else
extern std::string rom_folder;
void memory_init(const std::string& folder);
int load_roms();
const char* model_status_label(int model);
#endif

#if __has_include("machine/machine.h")
#include "machine/machine.h"
#else
int machine_hard_reset();
#endif

#if __has_include("machine/keyboard.h")
#include "machine/keyboard.h"
#else
void release_all_keys();
extern uint8_t helper_on;
constexpr int helper_first_button = 700;
constexpr int helper_button_count = 40;
void helper_open();
void helper_close();
void helper_press_button(int id);
#endif

#if __has_include("files/config.h")
#include "files/config.h"
#else
extern float opt_emulation_speed;
extern uint8_t opt_exit_msg, opt_focus_on, opt_border_size;
extern int32_t opt_model_type, opt_GDI, opt_DirectDraw, opt_Direct3D, opt_draw_mode, opt_draw_size;
extern int32_t opt_colours;
extern int32_t opt_border_left, opt_border_right, opt_border_top, opt_border_bottom;
extern char opt_current_sna_dir[260];
struct WindowPlacement {
    int32_t left, top;
};
extern WindowPlacement placement_main_window;
extern std::string program_folder, user_folder;
void config_set_folders(const std::string& program_path);
std::string config_file_path();
int config_load();
bool config_save();
void config_defaults();
#endif

#if __has_include("shell/errors.h")
#include "shell/errors.h"
#else
int report_error(int code);
#endif

#if __has_include("files/program_file.h")
#include "files/program_file.h"
#else
extern uint8_t file_loaded;
extern std::string current_file_name;
bool load_program_from_path(const std::string& path);
bool load_chosen_program(const std::string& path);
bool load_dropped_program(const std::string& path);
#endif

#if __has_include("sound/sound_output.h")
#include "sound/sound_output.h"
#else
extern int vsync_sound_on;
extern uint32_t sound_tstates;
int sound_init();
void sound_pause();
void sound_resume();
void sound_hold(int flag);
#endif

#if __has_include("sound/sound_device_win32.h")
#include "sound/sound_device_win32.h"
#else
void sound_set_window(HWND window);  // the window the sound device belongs to
#endif

#if __has_include("video/bmp.h")
#include "video/bmp.h"
#else
bool write_bmp(const char* path, const uint32_t* pixels, int pitch, int left, int top, int width,
               int height, int scale = 1);
#endif

#if __has_include("resources/resource.h")
#include "resources/resource.h"
#else
#define IDI_WREN81 151
#define IDB_KEYBOARD 109
#define IDB_ABOUT 209
#define IDR_MAIN_MENU 116
#define IDM_LOAD_FILE 100
#define IDM_SAVE_SNAPSHOT 101
#define IDM_SAVE_SCREENSHOT 112
#define IDM_QUIT 109
#define IDM_SOFT_RESET 133
#define IDM_HARD_RESET 134
#define IDM_GENERATE_NMI 142
#define IDM_VSYNC_SOUND 114
#define IDM_SIZE_100 135
#define IDM_SIZE_200 136
#define IDM_FULL_SCREEN 137
#define IDM_NO_BORDER 143
#define IDM_MEDIUM_BORDER 144
#define IDM_FULL_BORDER 145
#define IDM_CUSTOM_BORDER 146
#define IDM_OPTIONS 121
#define IDM_CALCULATOR 122
#define IDM_LOAD_CONFIGURATION 138
#define IDM_SAVE_CONFIGURATION 139
#define IDM_DEFAULT_CONFIGURATION 140
#define IDM_DISPLAY_KEYBOARD 141
#define IDM_KEYBOARD_HELPER 147
#define IDM_DEBUGGER 125
#define IDM_ABOUT 108
#define IDM_HELP 111
#define WREN_KEYBOARD "WREN_KEYBOARD"
#define IDC_KEYBOARD_PICTURE 1100
#define WREN_KEYBOARDHELP "WREN_KEYBOARDHELP"
#define KEY_PICTURE_FOR_BUTTON(button) ((button) == 700 ? 700 : (button) + 40)
#define WREN_ABOUT "WREN_ABOUT"
#define IDC_ABOUT_PICTURE 1110
#define IDC_ABOUT_TEXT 1111
#endif
