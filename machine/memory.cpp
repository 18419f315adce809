#include "machine/memory.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "bus.h"
#include "files/config.h"
#include "files/program_file.h"
#include "shell/errors.h"
#include "sound/ay.h"
#include "sound/sound_output.h"

uint8_t memory[65536];
uint8_t rom_image[8192];
uint8_t* bank[8] = {rom_image,          memory + 0x2000, memory + 0x4000, memory + 0x6000,
                    memory + 0x8000,    memory + 0xA000, memory + 0xC000, memory + 0xE000};
uint32_t ram_top = 0x5000;
const uint8_t* read_pages[256];
uint8_t* write_pages[256];

uint8_t hires_card;
uint8_t ay_card;
uint8_t chr_generator;

uint8_t addon_low_ram[1024];
uint8_t chr_shadow[65536];
uint8_t quicksilva_hires_latch;
uint8_t quicksilva_chr_active;
int memotech_mode;

std::string rom_folder;

const uint32_t model_ram_top[model_count] = {0x4400, 0x4800, 0x5000, 0x6000, 0x8000, 0xC000, 0x10000};
const char* const model_dialog_labels[model_count] = {
    "ZX81", "ZX81 with 2K Expansion", "ZX81 with 4K Expansion", "ZX81 with 8K Expansion",
    "ZX81 with 16K Expansion", "ZX81 with 32K Expansion", "ZX81 with 48K Expansion"};
const char* const hires_card_labels[5] = {"None", "WRX", "Memotech", "G007", "Quicksilva"};
const char* const ay_card_labels[5] = {"None", "ZONX", "Quicksilva", "Fuller Box", "Ace User"};
const char* const chr_generator_labels[4] = {"None", "CHR$16", "Quicksilva", "DK'tronics"};

namespace {

const char* const model_status_labels[model_count] = {
    " ZX81", " ZX81 2K RAM", " ZX81 4K RAM", " ZX81 8K RAM", " ZX81 16K RAM", " ZX81 32K RAM", " ZX81 48K RAM"};

// The add-on ROMs as last loaded; install_roms copies them into the memory image.
uint8_t memotech_rom[2048];
uint8_t g007_rom[2048];
uint8_t quicksilva_rom[2048];
uint8_t dktronics_rom[4096];

struct AddonRom {
    const char* file;
    uint8_t* image;
    uint32_t length;
    uint16_t place;  // where the copy lives in the memory image
};
const AddonRom memotech_file{"memohrg.rom", memotech_rom, sizeof memotech_rom, 0x2000};
const AddonRom g007_file{"g007hrg.rom", g007_rom, sizeof g007_rom, 0x2800};
const AddonRom quicksilva_file{"qshrg.rom", quicksilva_rom, sizeof quicksilva_rom, 0x2800};
const AddonRom dktronics_file{"dkchr.rom", dktronics_rom, sizeof dktronics_rom, 0x2000};

const AddonRom* hires_rom()
{
    switch (hires_card) {
    case hires_memotech: return &memotech_file;
    case hires_g007: return &g007_file;
    case hires_quicksilva: return &quicksilva_file;
    default: return nullptr;
    }
}

const AddonRom* chr_rom() { return chr_generator == chr_dktronics ? &dktronics_file : nullptr; }

// Reads a ROM file that must be exactly `length` bytes long; reports errors 2 and 3.
bool read_rom_file(const char* name, uint32_t length, std::vector<uint8_t>& out)
{
    const std::string path = rom_folder + name;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        report_error(error_rom_missing);
        return false;
    }
    out.assign(length + 1, 0);
    const size_t got = std::fread(out.data(), 1, length + 1, f);
    std::fclose(f);
    if (got != length) {
        report_error(error_rom_length);
        return false;
    }
    out.resize(length);
    return true;
}

inline uint8_t& bank_byte(uint16_t address) { return bank[address >> 13][address & 0x1FFF]; }

uint8_t discarded_writes[256];

// After a change of the banks or the RAM top.
void map_pages()
{
    for (uint32_t page = 0; page < 256; ++page) {
        const uint16_t folded = fold_address(uint16_t(page << 8));
        read_pages[page] = &bank_byte(folded);
        write_pages[page] = page < 0x20 ? discarded_writes : &memory[folded];
    }
}

// The pages are good from the start, before memory_init.
const bool pages_mapped_at_start = (map_pages(), true);

// Bank 0 the ROM image, banks 1-7 the memory image in place.
void set_banks()
{
    bank[0] = rom_image;
    for (int n = 1; n < 8; ++n) bank[n] = memory + n * 0x2000;
    map_pages();
}

inline bool within(uint16_t a, uint16_t low, uint16_t high) { return a >= low && a <= high; }

}  // namespace

const char* model_status_label(int model)
{
    return model >= 0 && model < model_count ? model_status_labels[model] : "";
}

void memory_init(const std::string& folder)
{
    rom_folder = folder;
    set_banks();
}

int load_roms()
{
    std::vector<uint8_t> rom, hires, chr;
    if (!read_rom_file("zx81.rom", sizeof rom_image, rom)) return 1;
    const AddonRom* h = hires_rom();
    if (h && !read_rom_file(h->file, h->length, hires)) return 1;
    const AddonRom* c = chr_rom();
    if (c && !read_rom_file(c->file, c->length, chr)) return 1;

    std::memcpy(rom_image, rom.data(), sizeof rom_image);
    if (h) std::memcpy(h->image, hires.data(), h->length);
    if (c) std::memcpy(c->image, chr.data(), c->length);
    install_roms();
    return 0;
}

void install_roms()
{
    set_banks();
    if (const AddonRom* h = hires_rom()) std::memcpy(memory + h->place, h->image, h->length);
    if (const AddonRom* c = chr_rom()) std::memcpy(memory + c->place, c->image, c->length);
}

void set_ram_top()
{
    if (opt_model_type >= 0 && opt_model_type < model_count) ram_top = model_ram_top[opt_model_type];
    map_pages();
}

uint8_t peek_decoded(uint16_t a)
{
    const uint16_t e = fold_address(a);
    uint8_t b = bank_byte(e);
    switch (hires_card) {
    case hires_quicksilva:
        if (e < 0x0400 && quicksilva_hires_latch) b = addon_low_ram[e];
        if (within(e, 0x2800, 0x2FFF)) quicksilva_hires_latch = 1;
        if (within(a, 0xA000, 0xB800)) b = bank_byte(a);  // the card's own RAM, never folded
        break;
    case hires_memotech:
        if (e < 0x0400 && (z80.i & 1)) b = addon_low_ram[e];
        break;
    case hires_g007:
        // The card's ROM and RAM copies at 0x2000 show through low addresses.
        if (within(e, 0x0C00, 0x0CFF)) b = bank_byte(e + 0x2000);
        if ((z80.i & 1) && (e < 0x0100 || within(e, 0x0200, 0x02FF))) b = bank_byte(e + 0x2000);
        break;
    }
    return b;
}

void write_decoded(uint16_t a, uint8_t v)
{
    if (ay_card == ay_quicksilva) {
        if (a == 0x7FFF) ay_select(v & 0x0F);
        else if (a == 0x7FFE) ay_write(v);
    }
    if (chr_generator == chr_quicksilva && within(a, 0x8400, 0x87FF)) {
        quicksilva_chr_active = 1;
        chr_shadow[a] = v;
    }
    if (hires_card == hires_memotech) {
        if (a < 0x0400) addon_low_ram[a] = v;
        if (a < 0x2800) return;
    } else if (hires_card == hires_quicksilva) {
        if (within(a, 0x2800, 0x2FFF)) quicksilva_hires_latch = 0;
        if (within(a, 0xA000, 0xB800)) bank_byte(a) = v;
        if (a < 0x0400) addon_low_ram[a] = v;
        else if (within(a, 0x2000, 0x27FE) || a > 0x3000) bank_byte(a) = v;
        // 0x0400-0x1FFF is the ROM and stays unwritable; 0x27FF-0x3000 is the card's ROM.
        return;
    }
    if (hires_card == hires_g007 && within(a, 0x2800, 0x2FFF)) return;  // the G007 ROM copy
    if (a < 0x2000) return;
    memory[fold_address(a)] = v;
}

void reset_hardware()
{
    std::memset(memory, 0, sizeof memory);
    quicksilva_hires_latch = 0;
    sound_tstates = 0;
    vsync_level = 0;
    file_loaded = 0;
}

uint8_t read_byte_decoded(uint16_t address)
{
    if (watch_memory & watch_read) note_memory_access(address, watch_read);
    return peek_byte(address);
}

void write_byte_decoded(uint16_t address, uint8_t value)
{
    if (watch_memory & watch_write) note_memory_access(address, watch_write);
    write_decoded(address, value);
}
