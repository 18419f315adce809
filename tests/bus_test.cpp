// The bus: RAM mirroring per model, the ROM, the add-on cards' memory and ports, the
// VSYNC sound level, and the loading of ROM image files.
#include <filesystem>

#include "machine_fixture.h"
#include "tests/file_helpers.h"
#include "sound/ay.h"

namespace {

class BusTest : public MachineTest {};

TEST_F(BusTest, RamRepeatsAboveTheTopOfEachModelAndTheRomStaysReadOnly)
{
    struct Case { int model; uint16_t address, mirror_of; };
    for (const Case c : {Case{0, 0x4400, 0x4000}, Case{0, 0x8000, 0x4000}, Case{0, 0xFC00, 0x4000},
                         Case{1, 0x4800, 0x4000}, Case{3, 0x6123, 0x4123}, Case{4, 0xC000, 0x4000},
                         Case{5, 0xC000, 0x8000}, Case{6, 0xC000, 0xC000}}) {
        opt_model_type = c.model;
        set_ram_top();
        std::memset(memory, 0, sizeof memory);
        write_byte(c.address, 0x5A);
        EXPECT_EQ(memory[c.mirror_of], 0x5A) << "model " << c.model << " write " << std::hex << c.address;
        memory[c.mirror_of] = 0xA5;
        EXPECT_EQ(read_byte(c.address), 0xA5) << "model " << c.model << " read " << std::hex << c.address;
    }
    rom_image[0x0123] = 0x3E;
    write_byte(0x0123, 0x99);
    write_byte(0x2345, 0x42);
    EXPECT_EQ(peek_byte(0x0123), 0x3E);
    EXPECT_EQ(peek_byte(0x2345), 0x42);
}

TEST_F(BusTest, HiresCardsMapTheirMemoryIntoLowAddresses)
{
    // G007: its ROM copy ignores writes; with I odd, 0x0000-0x00FF shows 0x2000 up.
    hires_card = hires_g007;
    memory[0x2800] = 0xAB;
    memory[0x2005] = 0x66;
    write_byte(0x2800, 0x00);
    EXPECT_EQ(peek_byte(0x2800), 0xAB);
    EXPECT_EQ(peek_byte(0x0005), 0x00);
    z80.i = 0x1F;
    EXPECT_EQ(peek_byte(0x0005), 0x66);

    // Memotech: its low RAM answers while I is odd.
    hires_card = hires_memotech;
    write_byte(0x0005, 0x77);
    EXPECT_EQ(peek_byte(0x0005), 0x77);
    z80.i = 0x1E;
    EXPECT_EQ(peek_byte(0x0005), 0x00);

    // Quicksilva: a read in its ROM switches its low RAM over the ROM, a write there back.
    hires_card = hires_quicksilva;
    write_byte(0x0010, 0x5C);
    EXPECT_EQ(peek_byte(0x0010), 0x00);
    peek_byte(0x2900);
    EXPECT_EQ(peek_byte(0x0010), 0x5C);
    write_byte(0x2900, 0);
    EXPECT_EQ(peek_byte(0x0010), 0x00);
    write_byte(0xA123, 0x3C);  // its RAM at 0xA000-0xB800 is not folded on a 16K machine
    EXPECT_EQ(peek_byte(0xA123), 0x3C);
    EXPECT_EQ(memory[0x6123], 0x00);
    EXPECT_EQ(std::count(rom_image, rom_image + sizeof rom_image, 0), 8192);
}

TEST_F(BusTest, CardsAnswerOnlyWhenFitted)
{
    // The Quicksilva sound card listens to memory writes, which go on to memory; the
    // ZONX card's ports are the CLI's pitch test.
    ay_selected = 0;
    write_byte(0x7FFF, 0x1F);
    EXPECT_EQ(ay_selected, 0);
    ay_card = ay_quicksilva;
    write_byte(0x7FFF, 0x1F);
    EXPECT_EQ(ay_selected, 15);
    EXPECT_EQ(peek_byte(0x7FFF), 0x1F);

    // Hi-res cards: the Memotech's port switches its mode; the Quicksilva's answers
    // with A changed.
    EXPECT_EQ(port_in(0x035F), 0xFF);
    EXPECT_EQ(memotech_mode, 0);
    hires_card = hires_memotech;
    port_in(0x035F);
    EXPECT_EQ(memotech_mode, 3);
    z80.af.hi = 0x42;
    EXPECT_EQ(port_in(0x00FB), 0xFF);
    hires_card = hires_quicksilva;
    EXPECT_EQ(port_in(0x00FB), 0x42 ^ 0x81);
}

TEST_F(BusTest, VsyncSoundFollowsTheSyncPorts)
{
    vsync_sound_on = 1;
    port_out(0x00FF, 0);
    EXPECT_EQ(vsync_level, 1);
    port_in(0xFEFE);
    EXPECT_EQ(vsync_level, 0);
    port_in(0x00F5);
    EXPECT_EQ(vsync_level, 1);
    vsync_sound_on = 0;
    port_out(0x00FF, 0);
    EXPECT_EQ(vsync_level, 1);  // the level stays while the switch is off
}

TEST_F(BusTest, AFailedRomLoadKeepsTheOldImageAndCardRomsFollowTheMainOne)
{
    // The messages themselves are checked end to end by the CLI tests.
    const std::string folder = std::string(WREN81_BUILD_DIR) + "/test_roms/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    memory_init(folder);
    auto make_file = [&](const char* name, size_t length, char fill) {
        write_whole_file(folder + name, std::string(length, fill));
    };
    rom_image[0] = 0xD3;
    EXPECT_NE(load_roms(), 0);
    make_file("zx81.rom", 8193, 0x11);
    EXPECT_NE(load_roms(), 0);
    make_file("zx81.rom", 8192, 0x22);
    chr_generator = chr_dktronics;  // its ROM missing: nothing installed, not even the main ROM
    EXPECT_NE(load_roms(), 0);
    EXPECT_EQ(peek_byte(0x0000), 0xD3);

    make_file("dkchr.rom", 4096, 0x44);
    make_file("memohrg.rom", 2048, 0x33);
    hires_card = hires_memotech;
    const int errors = headless_error_count;
    EXPECT_EQ(load_roms(), 0);
    EXPECT_EQ(headless_error_count, errors);
    EXPECT_EQ(peek_byte(0x1FFF), 0x22);
    EXPECT_EQ(peek_byte(0x2000), 0x44);  // the character ROM is copied after the hi-res ROM
    EXPECT_EQ(peek_byte(0x2FFF), 0x44);
    std::filesystem::remove_all(folder);
}

}  // namespace
