#include "sound/pacing.h"

#include <algorithm>

#include "core/host.h"
#include "core/machine_state.h"
#include "files/config.h"
#include "sound/sound_output.h"

namespace {

constexpr double full_speed_frame_us = 20000;  // 50 frames a second at 100%
// A host that fell this far behind (a long stall, a slow machine) starts a fresh
// schedule rather than running frames back to back to catch up; shorter stalls, which a
// busy host has now and then, are made up, so the rate over a while stays exact.
constexpr uint64_t late_limit_us = 500000;

bool on_schedule;
uint64_t next_due_us;  // when the frame just run should end

uint64_t frame_period_us()
{
    double speed = opt_emulation_speed;
    if (!(speed >= 1)) speed = 1;
    return uint64_t(full_speed_frame_us * 100 / std::min(speed, 100000.0));
}

}  // namespace

void pace_frame()
{
    if (emulation_paused || fast_mode || sound_paces()) {
        on_schedule = false;
        return;
    }
    const uint64_t now = host_time_us();
    if (!on_schedule) next_due_us = now;
    on_schedule = true;
    next_due_us += frame_period_us();
    if (now > next_due_us + late_limit_us) next_due_us = now;
    host_wait_until_us(next_due_us);
}
