// The host for runs without a window: keys come from a table the caller fills,
// the emulator has the focus unless told otherwise, and errors go to standard error.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "cli/host_headless.h"
#include "core/host.h"

bool headless_keys[256];
bool headless_foreground = true;
int headless_error_count;
std::string headless_last_error;

bool host_key_down(int virtual_key) { return virtual_key >= 0 && virtual_key < 256 && headless_keys[virtual_key]; }
bool host_is_foreground() { return headless_foreground; }

std::string host_app_data_folder()
{
    if (const char* dir = std::getenv("WREN81_APPDATA")) return dir;
    if (const char* home = std::getenv("HOME")) return std::string(home) + "/.config";
    return ".";
}

uint32_t host_tick_ms()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void host_sleep_ms(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
void host_draw_frame() {}

void host_show_error(const std::string& text)
{
    ++headless_error_count;
    headless_last_error = text;
    std::fprintf(stderr, "%s\n", text.c_str());
}

int headless_breakpoint_hits;
int headless_last_breakpoint = -1;
void (*headless_breakpoint_report)(int index);
long headless_stop_after_polls = -1;
bool headless_continue_log = true;
int headless_log_questions;

bool host_breakpoint_hit(int index)
{
    ++headless_breakpoint_hits;
    headless_last_breakpoint = index;
    if (headless_breakpoint_report) headless_breakpoint_report(index);
    return true;
}

bool host_stop_requested()
{
    if (headless_stop_after_polls < 0) return false;
    if (headless_stop_after_polls == 0) return true;
    return --headless_stop_after_polls == 0;
}

void host_message(const char* text, const char* caption) { std::fprintf(stderr, "%s: %s\n", caption, text); }

bool host_ask_continue_log(int)
{
    ++headless_log_questions;
    return headless_continue_log;
}
