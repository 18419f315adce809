// temporary: definitions owned elsewhere, removed at merge
#include <cstdint>
#include <cstring>

uint8_t memory[65536];
uint8_t rom_image[8192];
extern uint8_t file_loaded;

void reset_hardware()
{
    std::memset(memory, 0, sizeof memory);
    file_loaded = 0;
}
int load_roms() { return 0; }
void install_roms() {}
void set_ram_top() {}
