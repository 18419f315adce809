// temporary: definitions owned elsewhere, removed at merge
#include <cstdio>

#include "core/host.h"
#include "machine/pending_links.h"

int32_t opt_model_type = 2;
int32_t opt_M1Not = 32768;
int32_t opt_colours = 0;

void report_error(int code)
{
    const char* text = code == 2 ? "ROM missing" : code == 3 ? "ROM file incorrect length" : "";
    char head[8];
    std::snprintf(head, sizeof head, "%02X - ", code & 0xFF);
    host_show_error(std::string(head) + text);
}

int vsync_sound_on;
int vsync_level;
uint8_t port_f5_toggle;
uint32_t sound_tstates;
uint32_t tstates_per_sample = 72;
void sound_advance(uint32_t) {}
void sound_sample() {}

void ay_select(uint8_t) {}
void ay_write(uint8_t) {}
uint8_t ay_read() { return 0xFF; }

uint8_t file_loaded;
void load_trap() {}
