// temporary: declarations owned elsewhere, removed at merge
// Each block stands in for another subsystem's header until that header exists;
// once it does, the real header is used and the block below it falls away.
#pragma once
#include <cstdint>
#include <string>

#if __has_include("files/config.h")
#include "files/config.h"
#else
extern int32_t opt_model_type;
extern int32_t opt_M1Not;
extern int32_t opt_colours;
#endif

#if __has_include("shell/errors.h")
#include "shell/errors.h"
#else
void report_error(int code);
#endif

#if __has_include("sound/sound_output.h")
#include "sound/sound_output.h"
#else
extern int vsync_sound_on;
extern int vsync_level;
extern uint8_t port_f5_toggle;
extern uint32_t sound_tstates;
extern uint32_t tstates_per_sample;
void sound_advance(uint32_t n);
void sound_sample();
#endif

#if __has_include("sound/ay.h")
#include "sound/ay.h"
#else
void ay_select(uint8_t reg);
void ay_write(uint8_t value);
uint8_t ay_read();
#endif

#if __has_include("files/program_file.h")
#include "files/program_file.h"
#else
extern uint8_t file_loaded;
#endif
