// The address space: RAM mirroring per model, the ROM, the add-on cards' memory
// and the loading of ROM image files.
#include <cstdio>
#include <filesystem>
#include <vector>

#include "machine_fixture.h"

namespace {

class MemoryTest : public MachineTest {};

void use_model(int model)
{
    opt_model_type = model;
    set_ram_top();
}

TEST_F(MemoryTest, RamRepeatsAboveTheTopOfEachModel)
{
    struct Case {
        int model;
        uint16_t address, mirror_of;
    };
    const Case cases[] = {
        {0, 0x4400, 0x4000}, {0, 0x8000, 0x4000}, {0, 0xFC00, 0x4000}, {0, 0x47FF, 0x43FF},
        {1, 0x4800, 0x4000}, {2, 0x5000, 0x4000}, {3, 0x6123, 0x4123},
        {4, 0xC000, 0x4000}, {4, 0x8000, 0x4000}, {5, 0xC000, 0x8000}, {5, 0xFFFF, 0xBFFF},
    };
    for (const Case& c : cases) {
        use_model(c.model);
        std::memset(memory, 0, sizeof memory);
        write_byte(c.address, 0x5A);
        EXPECT_EQ(memory[c.mirror_of], 0x5A) << "model " << c.model << " write " << std::hex << c.address;
        memory[c.mirror_of] = 0xA5;
        EXPECT_EQ(peek_byte(c.address), 0xA5) << "model " << c.model << " read " << std::hex << c.address;
    }
    use_model(6);
    write_byte(0xC000, 0x11);
    EXPECT_EQ(memory[0xC000], 0x11);
    EXPECT_EQ(memory[0x4000], 0x00);
}

TEST_F(MemoryTest, RomIsReadOnlyAndTheAreaAboveItIsRam)
{
    use_model(0);
    rom_image[0x0123] = 0x3E;
    const uint32_t t0 = tstates;
    write_byte(0x0123, 0x99);
    write_byte(0x8000, 0x77);  // folds onto 0x4000, not into the ROM
    EXPECT_EQ(read_byte(0x0123), 0x3E);
    EXPECT_EQ(tstates - t0, 9u);
    EXPECT_EQ(peek_byte(0x4000), 0x77);
    write_byte(0x2345, 0x42);
    EXPECT_EQ(peek_byte(0x2345), 0x42);
}

TEST_F(MemoryTest, G007MapsItsRomAndRamIntoLowAddresses)
{
    hires_card = hires_g007;
    memory[0x2800] = 0xAB;
    write_byte(0x2800, 0x00);  // the card's ROM copy ignores writes
    EXPECT_EQ(peek_byte(0x2800), 0xAB);

    memory[0x2005] = 0x66;
    memory[0x2C10] = 0x67;
    rom_image[0x0005] = 0x01;
    z80.i = 0x1E;
    EXPECT_EQ(peek_byte(0x0005), 0x01);
    EXPECT_EQ(peek_byte(0x0C10), 0x67);  // whatever I holds
    z80.i = 0x1F;
    EXPECT_EQ(peek_byte(0x0005), 0x66);
    EXPECT_EQ(peek_byte(0x0105), 0x00);  // 0x0100-0x01FF stays ROM
}

TEST_F(MemoryTest, QuicksilvaLatchSwitchesLowRamOverTheRom)
{
    hires_card = hires_quicksilva;
    rom_image[0x0010] = 0x21;
    write_byte(0x0010, 0x5C);  // into the card's own RAM
    EXPECT_EQ(rom_image[0x0010], 0x21);
    EXPECT_EQ(peek_byte(0x0010), 0x21);  // latch off: the ROM shows

    peek_byte(0x2900);  // a read in the card's ROM switches the latch on
    EXPECT_EQ(peek_byte(0x0010), 0x5C);
    write_byte(0x2900, 0);  // a write there switches it off again
    EXPECT_EQ(peek_byte(0x0010), 0x21);

    // 0xA000-0xB800 is the card's RAM, reached without folding even on a 16K machine.
    write_byte(0xA123, 0x3C);
    EXPECT_EQ(peek_byte(0xA123), 0x3C);
    EXPECT_EQ(memory[0x6123], 0x00);
    write_byte(0x0500, 0xEE);
    EXPECT_EQ(rom_image[0x0500], 0x00);
}

TEST_F(MemoryTest, MemotechLowRamAnswersWhileIIsOdd)
{
    hires_card = hires_memotech;
    rom_image[0x0200] = 0x10;
    memory[0x2100] = 0x20;
    write_byte(0x0200, 0x99);
    write_byte(0x2100, 0x98);  // the card's ROM copy
    z80.i = 0x1E;
    EXPECT_EQ(peek_byte(0x0200), 0x10);
    z80.i = 0x1F;
    EXPECT_EQ(peek_byte(0x0200), 0x99);
    EXPECT_EQ(peek_byte(0x2100), 0x20);
}

// ROM files made by the test, in a folder of their own.
class RomFileTest : public MachineTest {
protected:
    std::string folder = std::string(WREN81_BUILD_DIR) + "/test_roms/";
    void SetUp() override
    {
        MachineTest::SetUp();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        memory_init(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    void make_file(const char* name, size_t length, uint8_t fill)
    {
        std::vector<uint8_t> bytes(length, fill);
        std::FILE* f = std::fopen((folder + name).c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    // Loads and returns the error reported, or "" for none.
    std::string load()
    {
        const int errors = headless_error_count;
        const int result = load_roms();
        const bool reported = headless_error_count != errors;
        EXPECT_EQ(result != 0, reported);
        return reported ? headless_last_error : "";
    }
};

TEST_F(RomFileTest, MissingOrWronglySizedRomIsReportedAndKeepsThePreviousRom)
{
    rom_image[0] = 0xD3;
    EXPECT_EQ(load(), "02 - ROM missing");
    make_file("zx81.rom", 8191, 0x11);
    EXPECT_EQ(load(), "03 - ROM file incorrect length");
    make_file("zx81.rom", 8193, 0x11);
    EXPECT_EQ(load(), "03 - ROM file incorrect length");
    EXPECT_EQ(peek_byte(0x0000), 0xD3);

    make_file("zx81.rom", 8192, 0x22);
    EXPECT_EQ(load(), "");
    EXPECT_EQ(peek_byte(0x1FFF), 0x22);
}

TEST_F(RomFileTest, AddOnRomsAreCopiedIntoTheMemoryImage)
{
    make_file("zx81.rom", 8192, 0x22);
    chr_generator = chr_dktronics;
    EXPECT_EQ(load(), "02 - ROM missing");
    EXPECT_EQ(peek_byte(0x0000), 0x00);  // nothing installed, not even the main ROM

    make_file("dkchr.rom", 4096, 0x44);
    make_file("memohrg.rom", 2048, 0x33);
    hires_card = hires_memotech;
    EXPECT_EQ(load(), "");
    EXPECT_EQ(peek_byte(0x0000), 0x22);
    EXPECT_EQ(peek_byte(0x2000), 0x44);  // the character ROM is copied after the hi-res ROM
    EXPECT_EQ(peek_byte(0x2FFF), 0x44);

    chr_generator = chr_none;
    hires_card = hires_g007;
    make_file("g007hrg.rom", 2048, 0x55);
    EXPECT_EQ(load(), "");
    EXPECT_EQ(peek_byte(0x2800), 0x55);
    EXPECT_EQ(peek_byte(0x27FF), 0x44);  // a card set back to None leaves its old copy
}

}  // namespace
