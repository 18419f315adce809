// The configuration file: created with the defaults at first start, read by position
// in any section order, values brought into range, damaged files kept and replaced.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/host_headless.h"
#include "core/machine_state.h"
#include "files/config.h"
#include "machine/memory.h"
#include "tests/file_helpers.h"

namespace {

// Joins lines with CR LF, as the program writes them.
std::string lines(std::initializer_list<const char*> list)
{
    std::string text;
    for (const char* line : list) text += std::string(line) + "\r\n";
    return text;
}

// A hand-made file: a byte order mark, sections shuffled, LF line ends, key texts
// changed, nothing default.
const std::string custom_file =
    "\xEF\xBB\xBF[Sound]\nopt_sound=0\nvolume=70\nopt_stereo=0\nopt_freq=22050\nopt_soundbits=8\nopt_num_buffers=12\n \n"
    "[Window Placements]\nMain Window=-20\nMain Window=35\nWindow Size=2\n"
    "a=1\nb=2\nc=3\nd=4\ne=5\nf=6\ng=7\nh=8\ni=9\nj=10\nk=11\nl=12\nm=13\nn=14\no=15\np=16\nq=17\nr=18\n \n"
    "[Folders]\nopt_current_sna_dir=D:\\games\\pi.p \nopt_current_tap_dir=E:\\tapes\\ \n \n"
    "[Hardware]\nopt_model_type=4\nanything at all=49152\n \n"
    "[Debugger]\nopt_dis_rom=1\nopt_dis_sv=1\n \n"
    "[Display]\nopt_GDI=0\nopt_DirectDraw=0\nopt_OpenGL=1\nopt_Direct3D=1\nopt_draw_mode=2\nopt_draw_size=2\n"
    "opt_tstates_per_scanline=1\nopt_colours=3\nopt_frameskip=5\nopt_border_size=3\nopt_border_size=10\n"
    "opt_border_size=20\nopt_border_size=30\nopt_border_size=40\n \n"
    "[Emulation]\nopt_emulation_speed=250\nopt_exit_msg=0\nopt_focus_on=1\n \n"
    "[End]\n-----Nothing Below This Line-----\n[Emulation]\nopt_emulation_speed=999\n";

// The live settings as the writer would put them down.
std::string settings_now()
{
    config_snapshot();
    return config_text(config_saved);
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ::testing::TempDir() + "wren81_config_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        clean();
        mkdir(folder.c_str(), 0777);
        user_folder = folder;
        program_folder = "/opt/wren81";
        settings_to_defaults();
        std::memset(&config_staging, 0, sizeof config_staging);
    }

    void TearDown() override { clean(); }
    void clean() const
    {
        for (const char* name : {"/wren81.ini", "/wren81.ini.bak", "/wren81.ini.new", ""})
            std::remove((folder + name).c_str());  // removes folders of those names too
    }
    std::string folder;
    std::string ini() const { return user_folder + "/wren81.ini"; }

    // Runs config_load, keeping what it showed on the error output; returns its result.
    int load()
    {
        ::testing::internal::CaptureStderr();
        const int result = config_load();
        shown = ::testing::internal::GetCapturedStderr();
        return result;
    }
    std::string shown;
    const std::string corrupt = "06 - Configuration file corrupt\nCreating new config file\n";
};

}  // namespace

TEST_F(ConfigFile, ReadsByPositionInAnySectionOrderBringsValuesIntoRangeAndRebuildsTheMachine)
{
    write_whole_file(ini(), custom_file);
    memory[0x4500] = 0x55;
    z80.pc = 0x1234;
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(memory[0x4500], 0);
    EXPECT_EQ(z80.pc, 0);
    // Nothing after [End] is read; opt_OpenGL is never taken; key texts are not compared.
    const ConfigRecord expected{250, 0, 1, 4, 49152, 0, 0, 0, 1, 2, 2, 1, 3, 5, 3, 10, 20, 30, 40,
                                0, 70, 0, 22050, 8, 12, 1, 1, "D:\\games\\pi.p ", "E:\\tapes\\ "};
    EXPECT_EQ(settings_now(), config_text(expected));
    EXPECT_EQ(placement_main_window.left, -20);
    EXPECT_EQ(placement_window_size, 2);
    EXPECT_EQ(placement_wav_browser.top, 18);

    // Written back: the speed in whole percent, each folder with its one blank.
    opt_emulation_speed = 150.7f;
    ASSERT_TRUE(config_save());
    const std::string saved = read_whole_file(ini());
    EXPECT_NE(saved.find("\r\nopt_emulation_speed=150\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nopt_current_sna_dir=D:\\games\\pi.p \r\n"), std::string::npos);
    load();
    EXPECT_EQ(read_whole_file(ini()), saved);  // reading does not write

    // Out of range, unknown and missing: on top of the values read above.
    std::string text = lines({
        "[Emulation]", "opt_emulation_speed=-5", "opt_exit_msg=7", "opt_focus_on=-1", " ",
        "[Joystick]", "fire=1", " ",  // not a section of ours: skipped
        "[Hardware]", "opt_model_type=99999999999999999999999999", "opt_M1Not=3", " ",
        "[Display]", "opt_GDI=1", "opt_DirectDraw=0", "opt_OpenGL=0", "opt_Direct3D=0", "opt_draw_mode=9",
        "opt_draw_size=0", "opt_tstates_per_scanline=0", "opt_colours=4", "opt_frameskip=abc",
        "opt_border_size=300", "opt_border_size=500", "opt_border_size=55", "opt_border_size=-3", "", " ",
        "[Sound]", "opt_sound=1", "opt_snd_volume=45", "opt_stereo=1", "opt_freq=12345", "opt_soundbits=24",
        "opt_num_buffers=51", " ",
        "[Folders]", "", "opt_current_tap_dir=", " ",
        "[End]",
    });
    const std::string long_folder = "opt_current_sna_dir=C:\\" + std::string(1000, 'x');
    text.replace(text.find("[Folders]\r\n") + 11, 0, long_folder);
    write_whole_file(ini(), text);
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(std::string(opt_current_sna_dir), long_folder.substr(20, 259));  // cut to the folder's room
    // Ranges are clamped; a value outside a list of choices becomes the default; a line
    // without a number (or an empty one) leaves the value as it was; any volume is kept.
    const ConfigRecord clamped{10, 1, 0, 6, 32768, 1, 0, 0, 0, 2, 1, 0, 3, 5, 3, 74, 54, 0, 40,
                               1, 45, 1, 44100, 16, 50, 1, 1, "", ""};
    opt_current_sna_dir[0] = 0;
    EXPECT_EQ(settings_now(), config_text(clamped));
}

// The file's bytes at first start are also the GUI configuration test's; here, that it
// is written, read back, and written again whenever the file is damaged.
TEST_F(ConfigFile, FirstStartCreatesTheDefaultFileAndDamagedFilesAreReportedKeptAndReplaced)
{
    opt_model_type = 6;  // a leftover that the defaults must replace
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(shown, corrupt);
    EXPECT_EQ(opt_model_type, 2);
    const std::string default_file = read_whole_file(ini());
    EXPECT_EQ(default_file, settings_now());
    // The one written copy of the default file, shared with the Windows program's tests.
    EXPECT_EQ(default_file, read_whole_file(WREN81_SOURCE_DIR "/tests/fuzz/seeds/wren81-fuzz-config/default.ini"));
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(shown.find("06 -"), std::string::npos);
    EXPECT_STREQ(opt_current_sna_dir, "/opt/wren81/snapshots/ ");  // the writer's blank comes back
    EXPECT_EQ(placement_view_disassembly.left, 600);

    std::string long_line(100000, '7');
    std::string binary(3000, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 + 11);
    const std::string without_end = default_file.substr(0, default_file.find("[End]"));
    const std::string damaged[] = {
        "",
        without_end,
        default_file.substr(0, 300),                         // cut in the middle of [Display]
        "[Emulation]\r\n1\r\n1\r\n1\r\n \r\nopt_model_type=2\r\n",  // a value where a header belongs
        "garbage\r\n" + default_file,
        "[Emulation]\r\nopt_emulation_speed=" + long_line + "\r\n",
        binary,
        "[End",  // one character short of a header line, and no line break
    };
    for (const std::string& text : damaged) {
        write_whole_file(ini(), text);
        opt_model_type = 5;
        opt_frameskip = 7;
        EXPECT_EQ(load(), 1);
        EXPECT_TRUE(shown == corrupt && read_whole_file(ini()) == default_file) << text.substr(0, 40);
        EXPECT_TRUE(opt_model_type == 2 && opt_frameskip == 1) << text.substr(0, 40);
        EXPECT_EQ(read_whole_file(ini() + ".bak"), text);  // the damaged file is kept, not lost
        std::remove((ini() + ".bak").c_str());
    }
}

TEST_F(ConfigFile, AFileThatCannotBeWrittenIsReportedAndTheOldOneKept)
{
    write_whole_file(ini(), custom_file);
    mkdir((ini() + ".new").c_str(), 0777);  // stands where the new file would be written
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(config_save());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "46 - Configuration file cannot be written\n");
    EXPECT_EQ(read_whole_file(ini()), custom_file);

    user_folder = "/nonexistent-folder/Wren81";
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(shown,
              "06 - Configuration file corrupt\n46 - Configuration file cannot be written\nCreating new config file\n");
    EXPECT_EQ(opt_model_type, 2);  // the program goes on with the defaults
}
