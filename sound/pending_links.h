// temporary: declarations owned elsewhere, removed at merge
#pragma once
#include <cstdint>

extern uint8_t opt_sound, opt_stereo, opt_soundbits;
extern int32_t opt_snd_volume, opt_freq, opt_num_buffers;
extern float opt_emulation_speed;

void report_error(int code);
