// wren81-cli end to end: the real ROM typed at, programs loaded, pictures and
// errors as a user of the command line sees them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

const std::string cli = std::string(WREN81_BUILD_DIR) + "/wren81-cli";
const std::string shared = WREN81_SHARED_DIR;

struct CliRun {
    int status;
    std::string out, err;
};

// Test cases run in parallel processes: each gets files of its own.
std::string temp_path(const std::string& name)
{
    return ::testing::TempDir() + "wren81_cli_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + name;
}

std::string slurp(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Runs wren81-cli with the given arguments (already quoted for the shell).
CliRun run_cli(const std::string& args)
{
    const std::string err_path = temp_path("stderr.txt");
    const std::string cmd = "'" + cli + "' " + args + " 2>'" + err_path + "'";
    CliRun r{-1, "", ""};
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        const int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    r.err = slurp(err_path);
    return r;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
        std::string line = text.substr(start, nl - start);
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

bool screen_has_line(const CliRun& r, const std::string& line)
{
    for (const std::string& l : lines_of(r.out))
        if (l == line) return true;
    return false;
}

// 10 PRINT "WREN"  (PRINT = 0xF5, quote = 0x0B, W R E N = 0x3C 0x37 0x2A 0x33)
const std::vector<uint8_t> print_wren = {0x00, 0x0A, 0x08, 0x00, 0xF5, 0x0B, 0x3C, 0x37, 0x2A, 0x33, 0x0B, 0x76};

// A ZX81 BASIC program saved as a ".p" file: the system variables from 0x4009,
// the program lines (the first at 0x407D), the display file, and the variables' end marker.
std::vector<uint8_t> make_program_file(const std::vector<uint8_t>& line = print_wren)
{
    const uint16_t prog = 0x407D;
    const uint16_t d_file = uint16_t(prog + line.size());
    const uint16_t vars = uint16_t(d_file + 25);  // collapsed display: 25 NEWLINEs
    const uint16_t e_line = uint16_t(vars + 1);

    std::vector<uint8_t> mem(0x407D - 0x4009, 0);
    auto put16 = [&](uint16_t addr, uint16_t v) {
        mem[addr - 0x4009] = uint8_t(v);
        mem[addr - 0x4009 + 1] = uint8_t(v >> 8);
    };
    mem[0x4009 - 0x4009] = 0;      // VERSN
    put16(0x400A, 10);             // E_PPC: current line
    put16(0x400C, d_file);
    put16(0x400E, uint16_t(d_file + 1));  // DF_CC
    put16(0x4010, vars);
    put16(0x4012, 0);              // DEST
    put16(0x4014, e_line);
    put16(0x4016, uint16_t(e_line + 4));  // CH_ADD
    put16(0x4018, 0);              // X_PTR
    put16(0x401A, uint16_t(e_line + 5));  // STKBOT
    put16(0x401C, uint16_t(e_line + 5));  // STKEND
    mem[0x4022 - 0x4009] = 2;      // DF_SZ: lines of the lower screen
    put16(0x4023, 0);              // S_TOP
    mem[0x403B - 0x4009] = 0x40;   // CDFLAG: SLOW mode
    mem[0x4028 - 0x4009] = 55;     // MARGIN
    put16(0x4029, d_file);         // NXTLIN
    mem[0x4039 - 0x4009] = 33;     // S_POSN column
    mem[0x403A - 0x4009] = 24;     // S_POSN line

    mem.insert(mem.end(), line.begin(), line.end());
    mem.insert(mem.end(), 25, 0x76);
    mem.push_back(0x80);           // end of variables
    mem.push_back(0x00);           // the last byte of a file is not loaded
    return mem;
}

}  // namespace

TEST(Cli, ArithmeticAndABasicProgramRunOnTheRealRom)
{
    CliRun r = run_cli("--keys 'P2+2\\n' --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(screen_has_line(r, "4")) << r.out;
    EXPECT_TRUE(screen_has_line(r, "0/0")) << r.out;

    // 10 FOR I=1 TO 5 / 20 PRINT I*I / 30 NEXT I, then RUN: keywords are keys in K mode.
    r = run_cli("--keys '10FI=1{SHIFT+4}5\\n20PI*I\\n30NI\\nR\\n' --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = lines_of(r.out);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"1", "4", "9", "16", "25"}));
    EXPECT_TRUE(screen_has_line(r, "0/30")) << r.out;
}

TEST(Cli, AProgramFileLoadsThroughTheRomsLoadAndRuns)
{
    const std::string path = temp_path("wren.p");
    const std::vector<uint8_t> file = make_program_file();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());

    CliRun r = run_cli("--load '" + path + "' --keys 'R\\n' --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines_of(r.out).at(0), "WREN") << r.out;
    EXPECT_TRUE(screen_has_line(r, "0/10")) << r.out;

    // A real machine-code program that starts by itself.
    r = run_cli("--model 4 --load '" + shared + "/programs/zx81-program.p' --frames 50 --screen-text");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("ZX81 SAMPLE PROGRAM"), std::string::npos) << r.out;
}

TEST(Cli, ScreenshotsAreTheVisibleFrameAndRepeatable)
{
    const std::string a = temp_path("a.bmp"), b = temp_path("b.bmp");
    ASSERT_EQ(run_cli("--keys 'P2+2\\n' --screenshot '" + a + "'").status, 0);
    ASSERT_EQ(run_cli("--keys 'P2+2\\n' --screenshot '" + b + "'").status, 0);
    const std::string shot = slurp(a);
    ASSERT_EQ(shot.size(), 54u + 384 * 296 * 4);
    EXPECT_EQ(shot, slurp(b));

    // Only black and the default picture colour, and both of them.
    bool black = false, grey = false, other = false;
    for (size_t i = 54; i < shot.size(); i += 4) {
        const uint32_t bgr = uint8_t(shot[i]) | uint8_t(shot[i + 1]) << 8 | uint32_t(uint8_t(shot[i + 2])) << 16;
        black |= bgr == 0;
        grey |= bgr == 0xCACACA;
        other |= bgr != 0 && bgr != 0xCACACA;
    }
    EXPECT_TRUE(black && grey && !other);
}

TEST(Cli, BadInputGivesAClearErrorAndStatus)
{
    CliRun r = run_cli("--roms /nonexistent --screen-text");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("02 - ROM missing"), std::string::npos) << r.err;

    const std::string short_rom_dir = temp_path("roms_short");
    std::string mkdir = "mkdir -p '" + short_rom_dir + "'";
    ASSERT_EQ(std::system(mkdir.c_str()), 0);
    std::ofstream(short_rom_dir + "/zx81.rom", std::ios::binary) << std::string(8191, '\0');
    r = run_cli("--roms '" + short_rom_dir + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("03 - ROM file incorrect length"), std::string::npos) << r.err;

    EXPECT_EQ(run_cli("--model 7").status, 2);
    EXPECT_EQ(run_cli("--hires vga").status, 2);
    EXPECT_EQ(run_cli("--frames").status, 2);
    EXPECT_EQ(run_cli("--keys '\\x01'").status, 2);
    EXPECT_EQ(run_cli("--frozzle").status, 2);

    const std::string too_long = temp_path("huge.p");
    std::ofstream(too_long, std::ios::binary) << std::string(49145, '\0');
    r = run_cli("--load '" + too_long + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST(Cli, DisassemblesTheMachinesMemoryAfterTheRun)
{
    CliRun r = run_cli("--disassemble 0 5 --hex --rom-labels");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines_of(r.out), (std::vector<std::string>{"0000  D3FD     OUT   (#FD),A", "0002  01FF7F   LD    BC,#7FFF",
                                                         "0005  C3CB03   JP    RAM-CHECK"}));
    EXPECT_EQ(run_cli("--disassemble 70000 5").status, 2);
}

namespace {

// 1 REM <machine code at 16514>  2 RAND USR 16514: the code programs the AY chip of a
// ZONX card (register select on port 0xCF, data on port 0x0F) and returns, leaving
// channel A sounding a tone of the given period.
std::vector<uint8_t> ay_note_program(uint16_t period)
{
    std::vector<uint8_t> code;
    auto ay_write = [&](uint8_t reg, uint8_t value) {
        const uint8_t bytes[] = {0x3E, reg, 0xD3, 0xCF, 0x3E, value, 0xD3, 0x0F};  // LD A,r OUT (CF),A ...
        code.insert(code.end(), bytes, bytes + 8);
    };
    ay_write(0, uint8_t(period));
    ay_write(1, uint8_t(period >> 8));
    ay_write(7, 0x3E);  // mixer: tone A only
    ay_write(8, 15);    // channel A at full volume
    code.insert(code.end(), {0x01, 0x00, 0x00, 0xC9});  // LD BC,0  RET

    std::vector<uint8_t> lines = {0x00, 0x01, uint8_t(code.size() + 2), 0x00, 0xEA};  // 1 REM
    lines.insert(lines.end(), code.begin(), code.end());
    lines.push_back(0x76);
    // 2 RAND USR 16514: the digits, then 0x7E and the number as a five-byte float.
    const std::vector<uint8_t> rand_usr = {0x00, 0x02, 14, 0x00, 0xF9, 0xD4, 0x1D, 0x22, 0x21, 0x1D, 0x20,
                                           0x7E, 0x8F, 0x01, 0x04, 0x00, 0x00, 0x76};
    lines.insert(lines.end(), rand_usr.begin(), rand_usr.end());
    return make_program_file(lines);
}

// Rising edges per second of one channel of a 16-bit stereo WAV, over its last `seconds`.
double measured_pitch(const std::string& wav, double seconds)
{
    const size_t data = 44, frame = 4, rate = 44100;
    const size_t frames = (wav.size() - data) / frame, span = size_t(seconds * rate);
    if (frames < span) return 0;
    int edges = 0;
    int16_t previous = 0;
    for (size_t i = frames - span; i < frames; ++i) {
        const int16_t left = int16_t(uint8_t(wav[data + i * frame]) | uint8_t(wav[data + i * frame + 1]) << 8);
        edges += previous == 0 && left > 0;
        previous = left;
    }
    return edges / seconds;
}

}  // namespace

TEST(Cli, AnAyNoteProgrammedThroughZonxPortsSoundsAtItsPitch)
{
    const std::string program = temp_path("note.p"), wav = temp_path("note.wav");
    const std::vector<uint8_t> file = ay_note_program(100);
    std::ofstream(program, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());

    CliRun r = run_cli("--ay zonx --wav '" + wav + "' --load '" + program + "' --keys 'R\\n' --frames 100");
    ASSERT_EQ(r.status, 0) << r.err;
    // The chip ticks once per 16 T-states and its tone flips every `period` ticks; a
    // sample stands for 72 T-states at 44,100 Hz (3,175,200 T-states per second of WAV).
    const double expected = 44100.0 * 72 / (16 * 2 * 100);
    EXPECT_NEAR(measured_pitch(slurp(wav), 1.5), expected, expected * 0.02);

    // Without the card the same program is silent...
    r = run_cli("--wav '" + wav + "' --load '" + program + "' --keys 'R\\n' --frames 100");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(measured_pitch(slurp(wav), 1.5), 0);
    // ...unless VSYNC sound is on: then the sync pulses of the picture and the LOAD click.
    r = run_cli("--vsync-sound --wav '" + wav + "' --load '" + program + "' --keys 'R\\n' --frames 100");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(measured_pitch(slurp(wav), 1.5), 0);
}
