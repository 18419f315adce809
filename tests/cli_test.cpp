// wren81-cli end to end: the real ROM typed at, programs loaded, pictures, sound and
// errors as a user of the command line sees them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "tests/cli_runner.h"
#include "tests/file_helpers.h"

namespace {

// A ZX81 BASIC program saved as a ".p" file: the system variables from 0x4009, the
// program lines at 0x407D, a collapsed display file of 25 NEWLINEs and the variables'
// end marker; the file's last byte is not loaded. Returns its path, quoted for the shell.
std::string program_file(const std::string& name, const std::vector<uint8_t>& lines)
{
    const uint16_t d_file = uint16_t(0x407D + lines.size()), vars = uint16_t(d_file + 25), e_line = vars + 1;
    std::string f(0x407D - 0x4009, '\0');
    // E_PPC, D_FILE, DF_CC, VARS, E_LINE, CH_ADD, STKBOT, STKEND, NXTLIN
    const std::pair<int, int> words[] = {{0x400A, 10},         {0x400C, d_file},     {0x400E, d_file + 1},
                                         {0x4010, vars},       {0x4014, e_line},     {0x4016, e_line + 4},
                                         {0x401A, e_line + 5}, {0x401C, e_line + 5}, {0x4029, d_file}};
    for (auto [address, value] : words) f[address - 0x4009] = char(value), f[address - 0x4008] = char(value >> 8);
    // DF_SZ (lines of the lower screen), MARGIN, S_POSN column and line, CDFLAG (SLOW mode)
    for (auto [address, value] : {std::pair<int, char>{0x4022, 2}, {0x4028, 55}, {0x4039, 33}, {0x403A, 24}, {0x403B, 0x40}})
        f[address - 0x4009] = value;
    f += std::string(lines.begin(), lines.end()) + std::string(25, '\x76') + "\x80" + '\0';
    write_whole_file(temp_path(name), f);
    return "'" + temp_path(name) + "'";
}

// 10 PRINT "WREN"  (PRINT = 0xF5, quote = 0x0B, W R E N = 0x3C 0x37 0x2A 0x33)
const std::vector<uint8_t> print_wren = {0x00, 0x0A, 0x08, 0x00, 0xF5, 0x0B, 0x3C, 0x37, 0x2A, 0x33, 0x0B, 0x76};

// 1 REM <code at 16514>  2 RAND USR 16514: the code programs the AY chip of a ZONX card
// (register select on port 0xCF, data on 0x0F) for a tone of `period` on channel A.
std::vector<uint8_t> ay_note_program(uint8_t period)
{
    std::vector<uint8_t> code;
    for (auto [reg, value] : {std::pair<uint8_t, uint8_t>{0, period}, {1, 0}, {7, 0x3E}, {8, 15}})
        code.insert(code.end(), {0x3E, reg, 0xD3, 0xCF, 0x3E, value, 0xD3, 0x0F});  // LD A,r OUT (CF),A ...
    code.insert(code.end(), {0x01, 0x00, 0x00, 0xC9});                             // LD BC,0  RET
    std::vector<uint8_t> lines = {0x00, 0x01, uint8_t(code.size() + 2), 0x00, 0xEA};  // 1 REM
    lines.insert(lines.end(), code.begin(), code.end());
    // 0x76 ends line 1; 2 RAND USR 16514: the digits, then 0x7E and the number as a five-byte float.
    lines.insert(lines.end(), {0x76, 0x00, 0x02, 14, 0x00, 0xF9, 0xD4, 0x1D, 0x22, 0x21, 0x1D, 0x20, 0x7E, 0x8F,
                               0x01, 0x04, 0x00, 0x00, 0x76});
    return lines;
}

// Rising edges per second of the left channel of a 16-bit stereo WAV at 44,100 Hz,
// over its last 1.5 seconds.
double measured_pitch(const std::string& wav)
{
    const size_t frames = wav.size() < 44 ? 0 : (wav.size() - 44) / 4, span = 66150;
    int edges = 0;
    for (size_t i = frames - std::min(frames, span), previous = 0; i < frames; ++i) {
        const int16_t left = int16_t(uint8_t(wav[44 + i * 4]) | uint8_t(wav[45 + i * 4]) << 8);
        edges += previous == 0 && left > 0;
        previous = left != 0;
    }
    return frames < span ? 0 : edges / 1.5;
}

}  // namespace

TEST(Cli, ArithmeticAndABasicProgramRunOnTheRealRomAndItsPictureIsRepeatable)
{
    const std::string a = temp_path("a.bmp"), b = temp_path("b.bmp");
    CliRun r = run_cli("--keys 'P2+2\\n' --screen-text --screenshot '" + a + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(shows(r, "4") && shows(r, "0/0")) << r.out;
    ASSERT_EQ(run_cli("--keys 'P2+2\\n' --screenshot '" + b + "'").status, 0);
    const std::string shot = read_whole_file(a);
    ASSERT_EQ(shot.size(), 54u + 384 * 296 * 4);
    EXPECT_EQ(shot, read_whole_file(b));
    // Only black and the default picture colour, and both of them.
    bool black = false, grey = false, other = false;
    for (size_t i = 54; i < shot.size(); i += 4) {
        const uint32_t bgr = uint8_t(shot[i]) | uint8_t(shot[i + 1]) << 8 | uint32_t(uint8_t(shot[i + 2])) << 16;
        black |= bgr == 0, grey |= bgr == 0xCACACA, other |= bgr != 0 && bgr != 0xCACACA;
    }
    EXPECT_TRUE(black && grey && !other);

    // 10 FOR I=1 TO 5 / 20 PRINT I*I / 30 NEXT I, then RUN: keywords are keys in K mode.
    r = run_cli("--keys '10FI=1{SHIFT+4}5\\n20PI*I\\n30NI\\nR\\n' --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GE(r.lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(r.lines.begin(), r.lines.begin() + 5),
              (std::vector<std::string>{"1", "4", "9", "16", "25"}));
    EXPECT_TRUE(shows(r, "0/30")) << r.out;
}

TEST(Cli, AProgramFileLoadsThroughTheRomsLoadAndRuns)
{
    CliRun r = run_cli("--load " + program_file("wren.p", print_wren) + " --keys 'R\\n' --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines.at(0), "WREN") << r.out;
    EXPECT_TRUE(shows(r, "0/10")) << r.out;

    // A real machine-code program that starts by itself.
    r = run_cli("--model 4 --load '" WREN81_SHARED_DIR "/programs/zx81-program.p' --frames 50 --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("ZX81 SAMPLE PROGRAM"), std::string::npos) << r.out;
}

TEST(Cli, BadInputIsNamedWithItsStatusAndNothingRuns)
{
    const std::string short_roms = temp_path("roms_short");
    mkdir(short_roms.c_str(), 0777);
    write_whole_file(short_roms + "/zx81.rom", std::string(8191, '\0'));
    write_whole_file(temp_path("huge.p"), std::string(49145, '\0'));
    const std::tuple<std::string, int, const char*> cases[] = {
        {"--roms /nonexistent", 1, "02 - ROM missing"},
        {"--roms '" + short_roms + "'", 1, "03 - ROM file incorrect length"},
        {"--load '" + temp_path("huge.p") + "'", 1, "15 - Tape Error: Tape file incorrect length"},
        {"--model 7", 2, "--model"}, {"--hires vga", 2, "vga"}, {"--frames", 2, "--frames"},
        {"--keys '\\x01'", 2, "--keys"}, {"--frozzle", 2, "--frozzle"}, {"--disassemble 70000 5", 2, "--disassemble"},
        {"--memory xyz", 2, "--memory"}, {"--memory 65536", 2, "--memory"}, {"--poke '#4000'", 2, "--poke"},
        {"--poke '#4000=256'", 2, "#4000=256"}, {"--poke '#4000=1,,2'", 2, "#4000=1,,2"},
        {"--poke '65535=1,2'", 2, "past address 65535"}, {"--find-text '#'", 2, "no character \"#\""},
        {"--find-text ''", 2, "--find-text"},
        {"--frames 5 --break '#02BB if Q=1'", 2, "unknown register 'Q'"}, {"--break '#02BB if (A=1'", 2, "expected ')'"},
        {"--break 'write #5000-#4000'", 2, "ADDR-ADDR"}, {"--break 'fetch #4000'", 2, "bad breakpoint"},
        {"--run-until lunchtime", 2, "unknown event 'lunchtime'"}, {"--step many", 2, "--step takes a number"},
    };
    for (const auto& [args, status, fault] : cases) {
        const CliRun r = run_cli(args + " --screen-text");
        EXPECT_EQ(r.status, status) << args;
        EXPECT_EQ(r.err.rfind(status == 1 ? fault : "wren81-cli: ", 0), 0u) << args << " gave: " << r.err;
        EXPECT_NE(r.err.find(fault), std::string::npos) << args << " gave: " << r.err;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

TEST(Cli, AnAyNoteProgrammedThroughZonxPortsSoundsAtItsPitch)
{
    const std::string wav = temp_path("note.wav"), run = " --wav '" + wav + "' --load " +
                                                         program_file("note.p", ay_note_program(100)) +
                                                         " --keys 'R\\n' --frames 100";
    // The chip ticks once per 16 T-states and its tone flips every `period` ticks; a
    // sample stands for 72 T-states at 44,100 Hz (3,175,200 T-states per second of WAV).
    ASSERT_EQ(run_cli("--ay zonx" + run).status, 0);
    const double expected = 44100.0 * 72 / (16 * 2 * 100);
    EXPECT_NEAR(measured_pitch(read_whole_file(wav)), expected, expected * 0.02);
    // Without the card the same program is silent, unless VSYNC sound is on: then the
    // sync pulses of the picture and the LOAD click are heard.
    ASSERT_EQ(run_cli(run).status, 0);
    EXPECT_EQ(measured_pitch(read_whole_file(wav)), 0);
    ASSERT_EQ(run_cli("--vsync-sound" + run).status, 0);
    EXPECT_GT(measured_pitch(read_whole_file(wav)), 0);
}

TEST(CliDebugger, AOneFrameLogThenABreakpointThatPrintsWhereItFiredAndTheNextActionGoesOn)
{
    // KEYBOARD runs once a frame at the K cursor: the first --frames after the --break stops
    // there, the --keys after it too. The runs before it carry on from a one-frame log.
    const std::string log = temp_path("frame.log");
    std::remove(log.c_str());
    CliRun r = run_cli("--log-frame '" + log + "' --run-until tstate=30000 --frames 2 --break '#02BB if FRAMES>0' "
                       "--frames 50 --keys 'P2+2\\n' --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = read_whole_file(log);
    EXPECT_EQ(text.rfind("PC = ", 0), 0u);
    EXPECT_GT(std::count(text.begin(), text.end(), '\n'), 5000);
    ASSERT_GE(r.lines.size(), 16u) << r.out;
    EXPECT_EQ(r.lines[0], "break: #02BB if FRAMES>0 at PC=02BB");
    EXPECT_EQ(r.lines[1].substr(0, 8), "PC  02BB");
    EXPECT_EQ(r.lines[14].find("IM 1 INTERRUPTS OFF"), 8u) << r.lines[14];
    EXPECT_EQ(r.lines[15].substr(0, 20), "break: #02BB if FRAM");

    // A read watchpoint on FRAMES (#4034), which the display routine reads each frame.
    r = run_cli("--break 'read #4034-#4035' --frames 5");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines[0].substr(0, 31), "break: read #4034-#4035 at PC=0") << r.lines[0];
}
