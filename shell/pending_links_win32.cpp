// temporary: definitions owned elsewhere, removed at merge
// Just enough of the machine, the files and the sound for the window to link
// while those pieces are being written.
#include <windows.h>

#include "shell/pending_decls_win32.h"

uint32_t frame_buffer[frame_buffer_width * frame_buffer_height];
uint32_t picture_colour = 0xCACACA;
void display_init() {}
void set_palette() {}

std::string rom_folder;
void memory_init(const std::string& folder) { rom_folder = folder; }
int load_roms() { return 0; }
const char* model_status_label(int) { return " ZX81 4K RAM"; }
int machine_hard_reset() { return 0; }

void release_all_keys() {}
uint8_t helper_on;
void helper_open() { helper_on = 1; }
void helper_close() { helper_on = 0; }
void helper_press_button(int) {}

float opt_emulation_speed = 100;
uint8_t opt_exit_msg = 1, opt_focus_on, opt_border_size;
int32_t opt_model_type = 2, opt_GDI = 1, opt_DirectDraw, opt_Direct3D, opt_draw_mode, opt_draw_size = 1;
int32_t opt_colours;
int32_t opt_border_left, opt_border_right, opt_border_top, opt_border_bottom;
char opt_current_sna_dir[260];
WindowPlacement placement_main_window = {400, 400};
std::string program_folder, user_folder;
void config_set_folders(const std::string&) {}
std::string config_file_path() { return user_folder + "\\wren81.ini"; }
int config_load() { return 0; }
bool config_save() { return true; }
void config_defaults() {}

int report_error(int) { return 1; }

uint8_t file_loaded;
std::string current_file_name;
bool load_program_from_path(const std::string&) { return false; }
bool load_chosen_program(const std::string&) { return false; }
bool load_dropped_program(const std::string&) { return false; }

int vsync_sound_on;
uint32_t sound_tstates;
int sound_init() { return 0; }
void sound_pause() {}
void sound_resume() {}
void sound_hold(int) {}
void sound_set_window(HWND) {}

bool write_bmp(const char*, const uint32_t*, int, int, int, int, int, int) { return false; }
