// temporary: definitions owned elsewhere, removed at merge
#include <cstdio>

#include "core/host.h"
#include "sound/pending_links.h"

uint8_t opt_sound = 1, opt_stereo = 1, opt_soundbits = 16;
int32_t opt_snd_volume = 40, opt_freq = 44100, opt_num_buffers = 8;
float opt_emulation_speed = 100;

void report_error(int code)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02X - error %d", code, code);
    host_show_error(text);
}
