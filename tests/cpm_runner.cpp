#include "tests/cpm_runner.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"
#include "core/z80_run.h"

namespace {

constexpr uint16_t program_start = 0x0100;
constexpr uint16_t bdos_start = 0xFE00;  // also the top of the program's memory
constexpr uint64_t tstate_limit = uint64_t(1) << 37;

CpmRun* current_run;
bool current_echo;

void print_char(char c)
{
    current_run->output += c;
    if (current_echo) std::fputc(c, stdout);
}

// BDOS call 2 prints the character in E, call 9 the "$"-terminated string at DE.
void bdos()
{
    if (z80.bc.lo == 2) {
        print_char(char(z80.de.lo));
    } else if (z80.bc.lo == 9) {
        for (uint16_t a = z80.de.w; flat_memory[a] != '$' && a != 0xFFFF; ++a) print_char(char(flat_memory[a]));
    }
    if (current_echo) std::fflush(stdout);
}

bool load(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    const size_t room = bdos_start - program_start;
    const size_t n = std::fread(flat_memory + program_start, 1, room, f);
    const bool fits = std::fgetc(f) == EOF;
    std::fclose(f);
    return n > 0 && fits;
}

}  // namespace

CpmRun run_cpm_program(const std::string& path, bool echo, uint64_t max_instructions)
{
    CpmRun run;
    reset_machine();
    if (!load(path)) return run;
    run.loaded = true;
    current_run = &run;
    current_echo = echo;

    // 0x0000: HALT, where the program ends. 0x0005: JP to the BDOS, whose address the
    // program also reads as the top of its memory. The BDOS itself is the trap opcode
    // ED FC followed by RET, so the loop below need not watch the program counter.
    static const uint8_t bdos_entry[] = {0xC3, uint8_t(bdos_start), uint8_t(bdos_start >> 8)};
    static const uint8_t bdos_body[] = {0xED, 0xFC, 0xC9};
    flat_memory[0x0000] = 0x76;
    std::memcpy(flat_memory + 0x0005, bdos_entry, sizeof bdos_entry);
    std::memcpy(flat_memory + bdos_start, bdos_body, sizeof bdos_body);
    flat_trap_handler = bdos;
    z80.sp = bdos_start - 2;  // holds 0x0000, the return address of the program
    z80.pc = program_start;

    const auto start = std::chrono::steady_clock::now();
    uint64_t instructions = 0, total = 0;
    while (!z80.halted && total < tstate_limit && instructions < max_instructions) {
        // tstates is 32 bits: fold it into the total every few thousand instructions.
        instructions += z80_run(4096);
        total += tstates;
        tstates = 0;
    }
    run.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.finished = z80.halted && z80.pc == 0x0000;
    run.instructions = instructions;
    run.tstates = total;
    flat_trap_handler = nullptr;
    current_run = nullptr;
    return run;
}
