// temporary: definitions owned elsewhere, removed at merge
#include "machine/pending_links.h"

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

