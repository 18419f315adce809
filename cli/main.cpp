// wren81-cli: the emulator without a window. Options set up the machine, boot it,
// then act in the order given: load, type, run, and report what the ZX81 shows.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/debug_actions.h"
#include "cli/host_headless.h"
#include "cli/zx81_keys.h"
#include "core/frame_loop.h"
#include "core/machine_state.h"
#include "files/config.h"
#include "files/program_file.h"
#include "machine/display.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "bus.h"
#include "sound/sound_output.h"
#include "cli/host_sound_headless.h"
#include "video/bmp.h"
#include "debugger/listing.h"
#include "cli/view_actions.h"

namespace {

const char usage_text[] =
    "usage: wren81-cli [options]\n"
    "machine:  --roms DIR  --model 0-6  --m1not  --hires none|wrx|memotech|g007|quicksilva\n"
    "          --chr none|chr16|quicksilva|dktronics\n"
    "sound:    --ay none|zonx|quicksilva|fuller|aceuser  --vsync-sound  --wav FILE (samples of the run)\n"
    "actions (in the order given, after boot):\n"
    "          --load FILE        choose a .p/.81 file, type LOAD \"\" and run until it has loaded\n"
    "          --keys TEXT        type TEXT on the ZX81 keyboard ({RUBOUT}, {EDIT}, {FUNCTION},\n"
    "                             {GRAPHICS}, {UP}, {DOWN}, {LEFT}, {RIGHT}, {BREAK}, {SHIFT+K}, \\n)\n"
    "          --frames N         run N more frames\n"
    "          --screenshot FILE  write the visible frame (384 x 296) as a 32-bit BMP\n"
    "          --screen-text      print the 24 lines of the display file\n"
    "          --bench N          run N frames unpaced and print the speed\n"
    "          --disassemble START END  list memory as Disassemble to File writes it\n"
    "                             (with --hex, --rom-labels, --sysvar-names anywhere on the line)\n"
    "debugger (ADDR and BYTE as #hex, $hex or decimal):\n"
    "          --regs             print the register pane\n"
    "          --memory ADDR      print the memory pane from ADDR (16 rows of 8 bytes)\n"
    "          --code             print the code pane at PC, its line marked with \">\"\n"
    "          --stack            print the stack from SP: address, tab, word\n"
    "          --sysvars          print the system variables: name, address, value, by tabs\n"
    "          --poke ADDR=BYTE[,BYTE...]  write bytes from ADDR (ROM addresses too)\n"
    "          --find-text TEXT   print where TEXT, as the screen shows it, is first found\n"
    "          --break SPEC       from here on, stop at SPEC: ADDR [if CONDITION], read ADDR[-ADDR],\n"
    "                             write ADDR[-ADDR], in PORT or out PORT; a hit ends the action\n"
    "                             running and prints 'break: SPEC at PC=XXXX' and the registers\n"
    "                             (CONDITION: comparisons =, <>, <, >, <=, >= of registers, (ADDR),\n"
    "                             (HL), (IX+d), (IY+d), TSTATES, FRAMES and numbers, AND, OR, ( ))\n"
    "          --step N  --step-over  --step-out\n"
    "          --run-until EVENT  start-of-frame, end-of-frame, interrupt, tstate=N, di, ei, halt,\n"
    "                             im1, im2, ld-a-r, ld-r-a, in=PORT, out=PORT\n"
    "          --log FILE         PC log of every instruction from here on (appended)\n"
    "          --log-frame FILE   PC log of the next frame, which it runs\n"
    "          --help\n";

// Frames a key is held down, and then left up, so that the ROM takes it once.
constexpr int key_down_frames = 4;
constexpr int key_up_frames = 4;
// The ROM clears memory and builds its display within this many frames.
constexpr int boot_frame_limit = 600;
// A picture unchanged for this many frames means the ROM is waiting again.
constexpr int settle_frames = 25;
constexpr int settle_frame_limit = 3000;

struct Action {
    std::string name, arg, arg2;
};


int usage_error(const char* what, const std::string& detail = "")
{
    std::fprintf(stderr, "wren81-cli: %s%s\n%s", what, detail.c_str(), usage_text);
    return 2;
}

DisasmStyle listing_style{10, false, false};

uint8_t machine_peek(uint16_t address) { return peek_byte(address); }

int disassemble(const std::string& start_text, const std::string& end_text)
{
    long start = 0, end = 0;
    if (!parse_address_text(start_text.c_str(), start) || !parse_address_text(end_text.c_str(), end) ||
        disassemble_range(stdout, machine_peek, start, end, listing_style) < 0)
        return usage_error("--disassemble takes a start and an end address from 0 to 65535");
    return 0;
}

bool parse_int(const std::string& s, long lo, long hi, long& out)
{
    char* end = nullptr;
    out = std::strtol(s.c_str(), &end, 10);
    return !s.empty() && *end == 0 && out >= lo && out <= hi;
}

bool choose(const std::string& s, std::initializer_list<const char*> names, uint8_t& out)
{
    uint8_t i = 0;
    for (const char* n : names) {
        if (s == n) return out = i, true;
        ++i;
    }
    return false;
}

// Breakpoints fired before the action now running: one firing drops the rest of it.
int breaks_before_action;
bool action_stopped() { return breaks_fired() != breaks_before_action; }

void run_frames(long n)
{
    for (long i = 0; i < n && !action_stopped(); ++i) run_frame();
}

// Once the ROM waits for its first key, the display file holds a line that
// starts with the K cursor (an inverse K).
bool cursor_visible()
{
    const uint16_t d_file = uint16_t(peek_byte(0x400C) | (peek_byte(0x400D) << 8));
    if (d_file < 0x4000 || d_file >= ram_top || peek_byte(d_file) != 0x76) return false;
    for (uint32_t a = d_file; a + 1 < ram_top && a < d_file + 25u * 33u; ++a)
        if (peek_byte(uint16_t(a)) == 0x76 && peek_byte(uint16_t(a + 1)) == 0xB0) return true;
    return false;
}

// After NEWLINE the ROM may compute (in FAST mode, without a picture) or print for a
// while: run until it shows a picture that stays the same for a moment.
void settle()
{
    std::vector<std::string> last;
    int same = 0;
    for (int i = 0; i < settle_frame_limit && same < settle_frames && !action_stopped(); ++i) {
        run_frame();
        std::vector<std::string> now = screen_text();
        same = (nmi_generator_on && now == last) ? same + 1 : 0;
        last.swap(now);
    }
}

void type_keystrokes(const std::vector<Keystroke>& strokes)
{
    for (const Keystroke& s : strokes) {
        release_all_keys();
        if (action_stopped()) return;
        for (const MatrixKey& k : s) key_matrix[k.row] &= uint8_t(~(1u << k.bit));
        run_frames(key_down_frames);
        release_all_keys();
        run_frames(key_up_frames);
        if (s.size() == 1 && s[0].row == 6 && s[0].bit == 0) settle();
    }
}

int type_text(const std::string& text)
{
    std::vector<Keystroke> strokes;
    std::string bad;
    if (!parse_keystrokes(text, strokes, bad)) return usage_error("--keys: no ZX81 key types ", bad);
    type_keystrokes(strokes);
    return 0;
}

int load_program(const std::string& path)
{
    const int errors_before = headless_error_count;
    const unsigned loads_before = load_trap_count;
    if (!load_program_from_path(path.c_str()) || headless_error_count != errors_before) {
        if (headless_error_count == errors_before)
            std::fprintf(stderr, "wren81-cli: %s: not a loadable .p or .81 file\n", path.c_str());
        return 1;
    }
    type_text("J\"\"\n");  // LOAD "" in K mode
    for (int i = 0; i < boot_frame_limit && load_trap_count == loads_before && !action_stopped(); ++i) run_frame();
    if (action_stopped()) return 0;
    if (load_trap_count == loads_before) {
        std::fprintf(stderr, "wren81-cli: the ROM never reached its tape loader\n");
        return 1;
    }
    run_frames(10);
    return 0;
}

int screenshot(const std::string& path)
{
    if (!write_bmp(path.c_str(), frame_buffer, frame_buffer_width, 0, 0, visible_width, visible_height)) {
        std::fprintf(stderr, "wren81-cli: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

void bench(long frames)
{
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    run_frames(frames);
    const double wall = std::chrono::duration<double>(clock::now() - start).count();
    const double fps = wall > 0 ? frames / wall : 0;
    std::printf("frames=%ld wall_s=%.3f fps=%.0f speed=%.1f\n", frames, wall, fps, fps / 50);
}

int act(const Action& a)
{
    long n = 0;
    breaks_before_action = breaks_fired();
    if (is_debug_option_with_argument(a.name) || is_debug_option_alone(a.name)) return debug_action(a.name, a.arg);
    if (a.name == "--load") return load_program(a.arg);
    if (a.name == "--keys") return type_text(a.arg);
    if (a.name == "--disassemble") return disassemble(a.arg, a.arg2);
    if (view_action_arity(a.name) >= 0) return view_action(a.name, a.arg);
    if (a.name == "--screenshot") return screenshot(a.arg);
    if (a.name == "--screen-text") {
        for (const std::string& line : screen_text()) std::printf("%s\n", line.c_str());
        return 0;
    }
    if (!parse_int(a.arg, 0, 100000000, n)) return usage_error("expected a frame count after ", a.name);
    if (a.name == "--frames") run_frames(n);
    else bench(n);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string rom_folder = std::string(argv[0]).substr(0, std::string(argv[0]).find_last_of('/') + 1) + "roms/";
    std::vector<Action> actions;
    std::string wav_path;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        const bool has_arg = i + 1 < argc;
        long n = 0;
        if (opt == "--help") return std::printf("%s", usage_text), 0;
        if (opt == "--m1not") { opt_M1Not = 49152; continue; }
        if (opt == "--vsync-sound") { vsync_sound_on = 1; continue; }
        if (opt == "--hex") { listing_style.number_base = 16; continue; }
        if (opt == "--rom-labels") { listing_style.rom_labels = true; continue; }
        if (opt == "--sysvar-names") { listing_style.system_variables = true; continue; }
        if (opt == "--disassemble") {
            if (i + 2 >= argc) return usage_error("--disassemble needs a start and an end address");
            actions.push_back({opt, argv[i + 1], argv[i + 2]});
            i += 2;
            continue;
        }
        if (opt == "--screen-text" || is_debug_option_alone(opt) || view_action_arity(opt) == 0) {
            actions.push_back({opt, "", ""});
            continue;
        }
        if (!has_arg) return usage_error("missing value after ", opt);
        const std::string arg = argv[++i];
        if (opt == "--roms") rom_folder = arg + "/";
        else if (opt == "--model") {
            if (!parse_int(arg, 0, 6, n)) return usage_error("--model takes 0 to 6");
            opt_model_type = int32_t(n);
        } else if (opt == "--hires") {
            if (!choose(arg, {"none", "wrx", "memotech", "g007", "quicksilva"}, hires_card))
                return usage_error("unknown hi-res card ", arg);
        } else if (opt == "--chr") {
            if (!choose(arg, {"none", "chr16", "quicksilva", "dktronics"}, chr_generator))
                return usage_error("unknown CHR$ board ", arg);
        } else if (opt == "--ay") {
            if (!choose(arg, {"none", "zonx", "quicksilva", "fuller", "aceuser"}, ay_card))
                return usage_error("unknown AY sound card ", arg);
        } else if (is_debug_option_with_argument(opt)) {
            const std::string problem = check_debug_action(opt, arg);
            if (!problem.empty()) return std::fprintf(stderr, "wren81-cli: %s\n", problem.c_str()), 2;
            actions.push_back({opt, arg, ""});
        } else if (opt == "--wav") {
            wav_path = arg;
        } else if (opt == "--load" || opt == "--keys" || opt == "--frames" || opt == "--screenshot" ||
                   opt == "--bench" || view_action_arity(opt) == 1) {
            actions.push_back({opt, arg, ""});
        } else {
            return usage_error("unknown option ", opt);
        }
    }

    headless_foreground = false;  // keys go straight into the key matrix
    if (machine_init(rom_folder) != 0) return 1;
    if (sound_init() != 0) return 1;
    if (!wav_path.empty() && !wav_capture_start(wav_path)) {
        std::fprintf(stderr, "wren81-cli: cannot write %s\n", wav_path.c_str());
        return 1;
    }
    for (int i = 0; i < boot_frame_limit && !cursor_visible(); ++i) run_frame();
    run_frames(key_up_frames);
    int status = 0;
    for (const Action& a : actions)
        if ((status = act(a)) != 0) break;
    finish_debugging();
    if (!wav_path.empty() && !wav_capture_finish() && status == 0) {
        std::fprintf(stderr, "wren81-cli: %s could not be written whole\n", wav_path.c_str());
        status = 1;
    }
    return status;
}
