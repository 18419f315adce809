// Program files: chosen on the command line, in the Open File dialog or dropped on the
// window; bad files refused losing nothing. Where the bytes land is the CLI tests' and
// the fuzzer's.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "cli/host_headless.h"
#include "files/config.h"
#include "files/program_file.h"
#include "machine/memory.h"
#include "tests/file_helpers.h"

namespace {

// Test cases run in parallel processes: each has a folder of its own.
const std::string folder = ::testing::TempDir() + "wren81_programs_" + std::to_string(getpid());

uint8_t byte_at(size_t i) { return uint8_t(i * 7 + 1); }

// A file of the given length whose bytes tell their own position.
std::string make_file(const std::string& name, size_t length)
{
    mkdir(folder.c_str(), 0777);
    std::string bytes(length, 0);
    for (size_t i = 0; i < length; ++i) bytes[i] = char(byte_at(i));
    write_whole_file(folder + "/" + name, bytes);
    return folder + "/" + name;
}

class ProgramFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_image.clear();
        program_image_length = file_loaded = 0;
        current_file_name.clear();
        std::memset(memory, 0xAA, sizeof memory);
        std::memset(rom_image, 0x11, sizeof rom_image);
        std::strcpy(opt_current_sna_dir, "unchanged");
        errors_before = headless_error_count;
    }
    bool rom_patched() const { return std::memcmp(rom_image + 0x0347, "\xED\xFC\xC3\x07\x02", 5) == 0; }
    int new_errors() const { return headless_error_count - errors_before; }
    int errors_before = 0;
};

}  // namespace

TEST_F(ProgramFile, TheThreeWaysOfChoosingAFile)
{
    // Command line: kind from the end of the whole path; no name, no folder, no flag.
    ASSERT_TRUE(load_program_from_path(make_file("GAME.P", 10)));
    EXPECT_EQ(current_file_type, "P File");
    EXPECT_EQ(file_loaded, 0);
    EXPECT_EQ(current_file_name, "");
    EXPECT_STREQ(opt_current_sna_dir, "unchanged");
    EXPECT_FALSE(load_program_from_path("\"" + make_file("quoted.p", 10) + "\""));

    // Dialog: the name without its folder, the flag set, the path remembered; a name
    // that only starts like a program file's is passed over silently.
    const std::string eighty_one = make_file("music.81", 20), p81 = make_file("GAME.P81", 30);
    ASSERT_TRUE(load_chosen_program(eighty_one));
    EXPECT_EQ(current_file_name, "music.81");
    EXPECT_EQ(current_file_type, "81 File");
    EXPECT_EQ(file_loaded, 1);
    EXPECT_STREQ(opt_current_sna_dir, eighty_one.c_str());
    std::memset(rom_image, 0x11, sizeof rom_image);
    EXPECT_FALSE(load_chosen_program(p81));
    EXPECT_FALSE(rom_patched());
    EXPECT_EQ(new_errors(), 0);

    // Drop: the full path as the name, the flag left alone, the kind from the
    // extension's first characters.
    file_loaded = 0;
    ASSERT_TRUE(load_dropped_program(eighty_one));
    EXPECT_EQ(current_file_name, eighty_one);
    EXPECT_EQ(file_loaded, 0);
    ASSERT_TRUE(load_dropped_program(p81));
    EXPECT_EQ(current_file_type, "P File");
    EXPECT_TRUE(load_dropped_program(make_file("tune.81x", 30)));
    EXPECT_EQ(current_file_type, "81 File");
    EXPECT_EQ(new_errors(), 0);
}

TEST_F(ProgramFile, BadFilesAreRefusedAndChangeNothing)
{
    ASSERT_TRUE(load_chosen_program(make_file("good.p", 500)));
    const std::vector<uint8_t> good = program_image;
    std::memset(rom_image, 0x11, sizeof rom_image);

    const std::string length = "15 - Tape Error: Tape file incorrect length", unknown = "16 - Tape Error: unknown extension";
    mkdir((folder + "/folder.p").c_str(), 0777);
    const std::pair<std::string, std::string> bad[] = {
        {make_file("huge.p", 49145), length}, {make_file("empty.p", 0), length}, {make_file("one.p", 1), length},
        {folder + "/missing.p", "14 - Tape Error: Tape file missing"},
        {folder + "/folder.p", "17 - Tape Error: Error reading from file"},
        {make_file("readme.txt", 30), unknown}, {make_file("noextension", 30), unknown},
        {make_file("game.pp.", 30), unknown}, {make_file("GAME.81.bak", 30), unknown},
    };
    for (const auto& [path, shown] : bad) {
        // Dropped, and chosen in the dialog (which only lists program files).
        for (bool dropped : {true, false}) {
            if (!dropped && shown == unknown) continue;
            const int before = headless_error_count;
            EXPECT_FALSE(dropped ? load_dropped_program(path) : load_chosen_program(path)) << path;
            EXPECT_TRUE(headless_error_count == before + 1 && headless_last_error == shown) << path;
        }
        EXPECT_TRUE(program_image == good && current_file_name == "good.p" && !rom_patched()) << path;
    }
    // The command line stays silent about a file it cannot open, not about a bad one.
    const int before = headless_error_count;
    EXPECT_FALSE(load_program_from_path(folder + "/missing.p"));
    EXPECT_EQ(headless_error_count, before);
    EXPECT_FALSE(load_program_from_path(make_file("huge.p", 60000)));
    EXPECT_EQ(headless_error_count, before + 1);

    load_trap();
    EXPECT_EQ(memory[0x4009 + 498], byte_at(498));
    EXPECT_EQ(memory[0x4009 + 499], 0xAA);
}
