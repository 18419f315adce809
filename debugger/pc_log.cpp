#include "debugger/pc_log.h"

#include <cstdio>

#include "bus.h"
#include "core/host.h"
#include "core/machine_state.h"
#include "debugger/breakpoints.h"
#include "debugger/debugger.h"
#include "debugger/listing.h"
#include "files/config.h"

bool pc_logging;
bool pc_log_one_frame;
int pc_log_limit_mb = 10;

namespace {

constexpr long megabyte = 1048576;

FILE* log_file;
// A large buffer: a line per instruction is millions of lines a second.
char log_buffer[1 << 20];

uint8_t live_peek(uint16_t address) { return peek_byte(address); }

void close_log()
{
    if (log_file) std::fclose(log_file);
    log_file = nullptr;
}

}  // namespace

bool start_pc_log(const std::string& path, bool one_frame)
{
    stop_pc_log();
    debug_active = true;
    if (!one_frame) pc_log_limit_mb = 10;
    take_snapshot();
    log_file = std::fopen(path.c_str(), "a+");
    if (!log_file) {
        host_message("ERROR", "Cannot Open File");
        return false;
    }
    std::setvbuf(log_file, log_buffer, _IOFBF, sizeof log_buffer);
    std::fseek(log_file, 0, SEEK_END);  // the size check reads the position: an existing log counts
    (one_frame ? pc_log_one_frame : pc_logging) = true;
    update_instruction_duties();
    return true;
}

void stop_pc_log()
{
    pc_logging = pc_log_one_frame = false;
    close_log();
    update_instruction_duties();
}

void log_instruction()
{
    write_pc_log_line(log_file, live_peek, z80.pc, z80.hl.w, tstates, opt_dis_rom != 0, opt_dis_sv != 0);
}

void pc_log_frame_end()
{
    if (!debug_active) return;
    if (pc_log_one_frame) {
        debug_active = false;
        stop_pc_log();
    }
    if (!pc_logging) return;
    const int megabytes = int(std::ftell(log_file) / megabyte);
    if (megabytes < pc_log_limit_mb) return;
    if (host_ask_continue_log(megabytes)) pc_log_limit_mb *= 2;
    else stop_pc_log();
}
