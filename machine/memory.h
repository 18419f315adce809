// The ZX81's address space: the 8 KiB ROM, the RAM of the fitted expansion with
// its mirroring above the RAM top, and the memory of the add-on cards.
#pragma once
#include <cstdint>
#include <string>

// The 64 KiB memory image (RAM and add-on ROM copies) and the separate ROM image.
extern uint8_t memory[65536];
extern uint8_t rom_image[8192];
// Eight 8 KiB banks: bank 0 is the ROM image, bank n the memory image at n * 8192.
extern uint8_t* bank[8];
// One past the last RAM address of the selected model; set through set_ram_top, which
// keeps the page tables in step.
extern uint32_t ram_top;
// Per 256-byte page, where a read goes with no hi-res card fitted: the bank's bytes, or
// for the RAM above the top the bytes it folds down to (RAM tops are whole pages).
extern const uint8_t* read_pages[256];
// The same for writes where no card watches them (a hi-res card, the Quicksilva sound
// or CHR$ board) and no watchpoint is set: the RAM, folded above the top; the ROM's
// pages go to a page that nothing reads.
extern uint8_t* write_pages[256];

// Add-on cards, chosen in the options and never kept in the configuration.
enum HiresCard : uint8_t { hires_none, hires_wrx, hires_memotech, hires_g007, hires_quicksilva };
enum AyCard : uint8_t { ay_none, ay_zonx, ay_quicksilva, ay_fuller_box, ay_ace_user };
enum ChrGenerator : uint8_t { chr_none, chr_chr16, chr_quicksilva, chr_dktronics };
extern uint8_t hires_card;
extern uint8_t ay_card;
extern uint8_t chr_generator;

extern uint8_t addon_low_ram[1024];      // Memotech and Quicksilva hi-res RAM at 0x0000-0x03FF
extern uint8_t chr_shadow[65536];        // Quicksilva CHR$ RAM, used at 0x8400-0x87FF only
extern uint8_t quicksilva_hires_latch;   // on after a read in 0x2800-0x2FFF, off after a write
extern uint8_t quicksilva_chr_active;    // set by the first write to the Quicksilva CHR$ RAM
extern int memotech_mode;                // high byte of the last IN from port 0x5F

// Folder of the ROM image files, ending in a path separator.
extern std::string rom_folder;

// RAM models: top of RAM, and the labels of the options dialog and the status bar.
constexpr int model_count = 7;
extern const uint32_t model_ram_top[model_count];
extern const char* const model_dialog_labels[model_count];
extern const char* const hires_card_labels[5];
extern const char* const ay_card_labels[5];
extern const char* const chr_generator_labels[4];
const char* model_status_label(int model);

// Start-up: remembers the ROM folder and points the banks at their images.
void memory_init(const std::string& folder);
// Loads every ROM file the current cards need and installs them. 0 on success,
// otherwise the error has been reported and nothing was installed.
int load_roms();
// Points the banks at their images and copies the add-on ROMs into the memory image.
void install_roms();
// RAM top from opt_model_type (an out-of-range model leaves it unchanged).
void set_ram_top();

// The slow paths behind the inline accesses of bus.h: folding above the RAM top
// and the add-on cards.
uint8_t peek_decoded(uint16_t address);
void write_decoded(uint16_t address, uint8_t value);

// Effective address of a RAM access: above the RAM top the RAM repeats.
inline uint16_t fold_address(uint16_t address)
{
    return address < ram_top ? address : uint16_t(((ram_top - 0x4001) & address) + 0x4000);
}
