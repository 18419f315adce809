// Any bytes as a configuration file: reading must neither crash nor leave a live
// setting the rest of the program cannot use, and what is then written must read
// back to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/config.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

bool terminated(const char* text) { return std::memchr(text, 0, folder_capacity) != nullptr; }

void require_usable_settings()
{
    require(opt_emulation_speed >= 10 && opt_emulation_speed <= 1000);
    require(opt_exit_msg <= 1 && opt_focus_on <= 1);
    require(opt_model_type >= 0 && opt_model_type <= 6);
    require(opt_M1Not == 32768 || opt_M1Not == 49152);
    require(opt_draw_mode >= 0 && opt_draw_mode <= 2);
    require(opt_draw_size >= 1 && opt_draw_size <= 3);
    require(opt_colours >= 0 && opt_colours <= 3);
    require(opt_frameskip >= 1 && opt_frameskip <= 11);
    require(opt_border_size <= 3);
    require(opt_border_left >= 0 && opt_border_left <= 74 && opt_border_right >= 0 && opt_border_right <= 54);
    require(opt_border_top >= 0 && opt_border_top <= 58 && opt_border_bottom >= 0 && opt_border_bottom <= 48);
    require(opt_snd_volume >= 0 && opt_snd_volume <= 100);
    require(opt_freq == 11025 || opt_freq == 22050 || opt_freq == 44100);
    require(opt_soundbits == 8 || opt_soundbits == 16);
    require(opt_num_buffers >= 1 && opt_num_buffers <= 50);
    require(terminated(opt_current_sna_dir) && terminated(opt_current_tap_dir));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::memset(&config_staging, 0, sizeof config_staging);
    parse_config_text(reinterpret_cast<const char*>(data), size);
    config_apply();
    require_usable_settings();

    config_snapshot();
    const ConfigRecord first = config_saved;
    const std::string text = config_text(config_saved);
    std::memset(&config_staging, 0, sizeof config_staging);
    require(parse_config_text(text.data(), text.size()));
    config_apply();
    config_snapshot();
    // Every number comes back; each folder comes back with the writer's one blank after it.
    require(std::memcmp(&first, &config_saved, offsetof(ConfigRecord, opt_current_sna_dir)) == 0);
    std::string sna = first.opt_current_sna_dir;
    sna.erase(sna.find_last_not_of(' ') + 1);
    require(std::string(config_saved.opt_current_sna_dir) == (sna + " ").substr(0, folder_capacity - 1));
    return 0;
}
