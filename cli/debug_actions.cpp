#include "cli/debug_actions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/host_headless.h"
#include "core/frame_loop.h"
#include "core/machine_state.h"
#include "debugger/breakpoints.h"
#include "debugger/debugger.h"
#include "debugger/debugger_text.h"
#include "debugger/pc_log.h"

namespace {

// Runs that look for something give up after this many frames (a minute of ZX81 time).
constexpr int run_frame_limit = 3000;

// Each breakpoint as typed after --break, by table index.
std::vector<std::string> break_specs;

const struct {
    const char* name;
    ArmedOpcode opcode;
} opcode_runs[] = {{"di", arm_di},         {"ei", arm_ei},         {"halt", arm_halt},    {"im1", arm_im1},
                   {"im2", arm_im2},       {"ld-a-r", arm_ld_a_r}, {"ld-r-a", arm_ld_r_a}};

void report_break(int index)
{
    std::printf("break: %s at PC=%04X\n", index < int(break_specs.size()) ? break_specs[index].c_str() : "?",
                unsigned(z80.pc));
    take_snapshot();
    for (const std::string& line : register_pane_lines(debug_snapshot)) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool read_number(const std::string& text, unsigned long limit, unsigned long& value)
{
    const char* p = text.c_str();
    const int base = (*p == '#' || *p == '$') ? 16 : 10;
    if (base == 16) ++p;
    if (!*p || *p == '-' || *p == '+' || *p == ' ') return false;
    char* end = nullptr;
    value = std::strtoul(p, &end, base);
    return *end == 0 && value <= limit;
}

// "--run-until EVENT": what kind, and its number for tstate=N, in=PORT, out=PORT.
enum RunKind { run_start_of_frame, run_end_of_frame, run_interrupt, run_tstate, run_opcode, run_port_in, run_port_out, run_unknown };

RunKind read_run_event(const std::string& event, unsigned long& number)
{
    if (event == "start-of-frame") return run_start_of_frame;
    if (event == "end-of-frame") return run_end_of_frame;
    if (event == "interrupt") return run_interrupt;
    for (const auto& r : opcode_runs)
        if (event == r.name) return number = r.opcode, run_opcode;
    const size_t eq = event.find('=');
    if (eq == std::string::npos) return run_unknown;
    const std::string key = event.substr(0, eq), value = event.substr(eq + 1);
    if (key == "tstate" && read_number(value, 0xFFFFFFFFul, number)) return run_tstate;
    if (key == "in" && read_number(value, 0xFFFF, number)) return run_port_in;
    if (key == "out" && read_number(value, 0xFFFF, number)) return run_port_out;
    return run_unknown;
}

// Step Over and Step Out follow the program wherever it goes: bounded here.
void bounded(void (*command)(), const char* name)
{
    headless_stop_after_polls = run_frame_limit;
    command();
    if (headless_stop_after_polls == 0)
        std::fprintf(stderr, "wren81-cli: %s: gave up after %d frames\n", name, run_frame_limit);
    headless_stop_after_polls = -1;
}

int run_until(const std::string& event)
{
    unsigned long number = 0;
    const int hits = headless_breakpoint_hits;
    switch (read_run_event(event, number)) {
    case run_start_of_frame: run_to_start_of_frame(); break;
    case run_end_of_frame: run_to_end_of_frame(); break;
    case run_interrupt: run_until_interrupt(); break;
    case run_tstate: run_until_tstate(uint32_t(number)); break;
    case run_opcode: {
        arm_opcode(ArmedOpcode(number));
        for (int frame = 0; run_flag && frame < run_frame_limit; ++frame) run_flag = run_one_frame();
        if (run_flag || (armed_opcodes[number] && headless_breakpoint_hits == hits)) {
            std::fprintf(stderr, "wren81-cli: --run-until %s: not reached within %d frames\n", event.c_str(),
                         run_frame_limit);
        }
        run_flag = false;
        armed_opcodes[number] = false;
        break;
    }
    case run_port_in:
    case run_port_out:
        if (!run_until_port(read_run_event(event, number) == run_port_out, uint32_t(number), run_frame_limit) &&
            headless_breakpoint_hits == hits)
            std::fprintf(stderr, "wren81-cli: --run-until %s: no such port access within %d frames\n",
                         event.c_str(), run_frame_limit);
        break;
    case run_unknown: break;
    }
    return 0;
}

}  // namespace

bool is_debug_option_with_argument(const std::string& option)
{
    return option == "--break" || option == "--step" || option == "--run-until" || option == "--log" ||
           option == "--log-frame";
}

bool is_debug_option_alone(const std::string& option) { return option == "--step-over" || option == "--step-out"; }

std::string check_debug_action(const std::string& option, const std::string& argument)
{
    std::string message;
    unsigned long n = 0;
    if (option == "--break" && !check_breakpoint_spec(argument, message)) return message;
    if (option == "--step" && !read_number(argument, 100000000, n))
        return "--step takes a number of instructions, not '" + argument + "'";
    if (option == "--run-until" && read_run_event(argument, n) == run_unknown)
        return "--run-until: unknown event '" + argument +
               "' (start-of-frame, end-of-frame, interrupt, tstate=N, di, ei, halt, im1, im2, ld-a-r, ld-r-a, "
               "in=PORT, out=PORT)";
    return "";
}

int debug_action(const std::string& option, const std::string& argument)
{
    headless_breakpoint_report = report_break;
    report_hits_in_runs = true;
    if (option == "--break") {
        std::string message;
        if (!add_breakpoint_spec(argument, message)) {
            if (!message.empty()) std::fprintf(stderr, "wren81-cli: %s\n", message.c_str());
            return 2;
        }
        break_specs.resize(breakpoint_count);
        break_specs[breakpoint_count - 1] = argument;
        return 0;
    }
    if (option == "--step") {
        unsigned long n = 0;
        read_number(argument, 100000000, n);
        for (unsigned long i = 0; i < n; ++i) single_step();
        return 0;
    }
    if (option == "--step-over") return bounded(step_over, "--step-over"), 0;
    if (option == "--step-out") return bounded(step_out, "--step-out"), 0;
    if (option == "--run-until") return run_until(argument);
    if (option == "--log" || option == "--log-frame") {
        if (!start_pc_log(argument, option == "--log-frame")) return 1;
        if (option == "--log-frame") run_frame();  // the one frame it logs
        return 0;
    }
    return 2;
}

int breaks_fired() { return headless_breakpoint_hits; }

void finish_debugging() { stop_pc_log(); }
