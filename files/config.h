// The configuration: every persistent setting, its copies, and the file
// "wren81.ini" in the user folder that keeps them between runs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// ---- The live settings, one per key of the file ----

// [Emulation]
extern float opt_emulation_speed;       // percent of real time, 10 to 1000
extern uint8_t opt_exit_msg;            // ask before quitting
extern uint8_t opt_focus_on;            // pause while the main window lacks the focus
// [Hardware]
extern int32_t opt_model_type;          // RAM model 0 (1K) to 6 (48K)
extern int32_t opt_M1Not;               // 32768, or 49152 with the M1Not circuit
// [Display]
extern int32_t opt_GDI, opt_DirectDraw, opt_OpenGL, opt_Direct3D;
extern int32_t opt_draw_mode;           // 0 GDI, 1 DirectDraw, 2 Direct3D
extern int32_t opt_draw_size;           // 1 100%, 2 200%, 3 full screen
extern int32_t opt_tstates_per_scanline;  // the Scanlines picture effect
extern int32_t opt_colours;             // 0 default, 1 black & white, 2 green, 3 amber
extern int32_t opt_frameskip;           // 1 to 11
extern uint8_t opt_border_size;         // border preset: 0 full, 1 medium, 2 none, 3 custom
extern int32_t opt_border_left, opt_border_right, opt_border_top, opt_border_bottom;  // custom
// [Sound]
extern uint8_t opt_sound;
extern int32_t opt_snd_volume;          // 0 to 100
extern uint8_t opt_stereo;
extern int32_t opt_freq;                // 11025, 22050 or 44100
extern uint8_t opt_soundbits;           // 8 or 16
extern int32_t opt_num_buffers;         // sound buffer in frames, 1 to 50
// [Debugger]
extern int32_t opt_dis_rom, opt_dis_sv; // disassembly shows ROM labels, system variables
// [Folders]
constexpr std::size_t folder_capacity = 260;  // 259 characters and the terminator
extern char opt_current_sna_dir[folder_capacity];  // also the Open File dialog's starting place
extern char opt_current_tap_dir[folder_capacity];

// ---- Window placements: where each window was last closed (screen pixels) ----
struct WindowPlacement {
    int32_t left, top;
};
extern WindowPlacement placement_main_window;
extern int32_t placement_window_size;   // kept in the file; nothing else uses it
extern WindowPlacement placement_debugger, placement_view_registers, placement_view_memory,
    placement_edit_memory, placement_view_disassembly, placement_calculator,
    placement_system_variables, placement_tape_browser, placement_wav_browser;

// ---- A copy of every setting above except the placements ----
struct ConfigRecord {
    float opt_emulation_speed;
    uint8_t opt_exit_msg, opt_focus_on;
    int32_t opt_model_type, opt_M1Not;
    int32_t opt_GDI, opt_DirectDraw, opt_OpenGL, opt_Direct3D, opt_draw_mode, opt_draw_size,
        opt_tstates_per_scanline, opt_colours, opt_frameskip;
    uint8_t opt_border_size;
    int32_t opt_border_left, opt_border_right, opt_border_top, opt_border_bottom;
    uint8_t opt_sound;
    int32_t opt_snd_volume;
    uint8_t opt_stereo;
    int32_t opt_freq;
    uint8_t opt_soundbits;
    int32_t opt_num_buffers;
    int32_t opt_dis_rom, opt_dis_sv;
    char opt_current_sna_dir[folder_capacity], opt_current_tap_dir[folder_capacity];
};
extern ConfigRecord config_staging;  // filled by the reader, applied at [End]
extern ConfigRecord config_saved;    // taken before writing and when the options open

// ---- Folders ----
extern std::string program_folder;   // the folder that holds the running program
extern std::string user_folder;      // application data + "Wren81"; holds wren81.ini
char path_separator();               // '\' on Windows, '/' elsewhere
std::string path_join(const std::string& folder, const std::string& name);
// Fixes program_folder from the running program's path and user_folder from the
// host's application-data folder, creating the user folder if it is missing.
void config_set_folders(const std::string& program_path);
std::string config_file_path();

// ---- Copies between the live settings and the records ----
void config_apply();      // staging record into the live settings, each value brought into range
void config_snapshot();   // live settings into the saved record
void config_restore();    // saved record back into the live settings
void settings_to_defaults();  // every setting and placement to its default; folders from program_folder

// ---- The file's text (no file access: the readers and writers below use these) ----
// The whole file for the saved record and the live placements, lines ending in CR LF.
std::string config_text(const ConfigRecord& record);
// Reads a file's text by position into the staging record (placements go live at
// once). True when it reached the [End] line; false where a header was expected
// and none was found (a damaged or truncated file).
bool parse_config_text(const char* text, std::size_t size);

// ---- The file ----
// Reads the file. At [End]: applies the settings and rebuilds the machine (hard reset,
// ROM images, RAM top); the caller then updates the View menu marks, the border
// preset and the display output. Returns 0. A missing or damaged file is reported,
// kept as "wren81.ini.bak", replaced by the defaults, and the result is 1.
int config_load();
// Writes the live settings (through the saved record). False when the file could not be written.
bool config_save();
// Every setting to its default, then config_save.
void config_defaults();
