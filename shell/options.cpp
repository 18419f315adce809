#include "shell/options.h"

#include <algorithm>
#include <cstdio>

#include "files/config.h"
#include "machine/display.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "sound/sound_output.h"

int32_t model_changed;

namespace {

// The add-on boards fitted when the sheet opened: Cancel puts them back, and OK
// reloads the ROMs when one has changed.
uint8_t hires_at_open, ay_at_open, chr_at_open;

// The speed and each sound setting restart the output only when they really change:
// a slider reports the same position again at the end of a drag.
template <typename T, typename V>
void set_and_restart(T& setting, V value)
{
    if (setting == T(value)) return;
    setting = T(value);
    options_restart_sound();
}

}  // namespace

void options_open()
{
    config_snapshot();
    hires_at_open = hires_card;
    ay_at_open = ay_card;
    chr_at_open = chr_generator;
}

void options_select_model(int model)
{
    if (model < 0 || model >= model_count) return;
    opt_model_type = model;
    set_ram_top();
    model_changed = 1;
}

void options_toggle_m1not() { opt_M1Not = opt_M1Not == 49152 ? 32768 : 49152; }

void options_select_draw_mode(int mode)
{
    opt_draw_mode = mode;
    opt_GDI = mode == 0;
    opt_DirectDraw = mode == 1;
    opt_Direct3D = mode == 2;
}

void options_set_display_sliders(const DisplaySliders& s)
{
    opt_border_left = s.left;
    opt_border_right = s.right;
    opt_border_top = s.top;
    opt_border_bottom = s.bottom;
    vertical_hold = s.vertical_hold;
    horizontal_hold = s.horizontal_hold;
    opt_frameskip = s.frameskip;
    opt_border_size = 3;  // Custom
}

int volume_slider_position() { return opt_snd_volume / 10; }

void options_set_speed(int percent) { set_and_restart(opt_emulation_speed, percent); }
void options_set_volume(int position) { set_and_restart(opt_snd_volume, position * 10); }
void options_set_buffers(int frames) { set_and_restart(opt_num_buffers, frames); }
void options_set_frequency(int rate) { set_and_restart(opt_freq, rate); }
void options_set_bits(int bits) { set_and_restart(opt_soundbits, bits); }
void options_toggle_stereo() { set_and_restart(opt_stereo, !opt_stereo); }

void options_restart_sound()
{
    sound_shutdown();
    sound_init();
}

std::string folder_field_text(const char* setting)
{
    std::string folder = setting;
    const auto last = folder.rfind(path_separator());
    if (last != std::string::npos && last != 0) folder.erase(last + 1);
    return folder;
}

void options_choose_folder(char* setting, const std::string& folder)
{
    std::string kept = folder;
    if (!kept.empty() && kept.back() != path_separator()) kept += path_separator();
    std::snprintf(setting, folder_capacity, "%s", kept.c_str());
}

void options_ok_machine()
{
    if (model_changed) {
        machine_hard_reset();
        model_changed = 0;
    } else if (hires_card || chr_generator || hires_card != hires_at_open ||
               chr_generator != chr_at_open) {
        load_roms();  // a board fitted or taken out: its ROM goes in or out of the map
    }
    set_palette();
    apply_display_holds();
}

void options_cancel()
{
    config_restore();
    hires_card = hires_at_open;
    ay_card = ay_at_open;
    chr_generator = chr_at_open;
}
