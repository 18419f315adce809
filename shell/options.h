// The options sheet's effect on the settings and the machine, apart from its
// controls: what each control changes, and what OK and Cancel do.
#pragma once
#include <cstdint>
#include <string>

extern int32_t model_changed;  // a model button was clicked: OK resets the machine

// Opening: the live settings become the saved record that Cancel goes back to.
void options_open();

// Emulation page: a new speed restarts the sound output, whose timing follows it.
void options_set_speed(int percent);

// Hardware page.
void options_select_model(int model);
void options_toggle_m1not();

// Display page: 0 GDI, 1 DirectDraw, 2 Direct3D.
void options_select_draw_mode(int mode);
// Every slider of the page at once; any of them makes the border Custom.
struct DisplaySliders {
    int left, right, top, bottom;
    int vertical_hold, horizontal_hold, frameskip;
};
void options_set_display_sliders(const DisplaySliders& s);

// Sound page. The volume slider runs 0-10 in tens of the setting.
int volume_slider_position();
void options_set_volume(int position);
void options_set_buffers(int frames);
void options_set_frequency(int rate);
void options_set_bits(int bits);
void options_toggle_stereo();
// The output is rebuilt with the current settings.
void options_restart_sound();

// Folders page: what a folder field shows for a stored setting (a file's path
// becomes its folder); and a folder chosen in the browser, kept so that it shows
// as itself the next time.
std::string folder_field_text(const char* setting);
void options_choose_folder(char* setting, const std::string& folder);

// OK: the machine's part (reset after a model change, add-on ROMs, palette, the
// holds). The window's part (placement, border and output) is the shell's.
void options_ok_machine();
// Cancel: the saved record goes back into the live settings, and the add-on
// boards as they were when the sheet opened.
void options_cancel();
