// Speed of the Z80 core: runs a CP/M instruction exerciser (zexdoc by default, also for
// an empty path) on the flat bus and reports the emulated clock rate it reached. A
// second argument stops the run after about that many instructions (for counting host
// instructions).
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/cpm_runner.h"

int main(int argc, char** argv)
{
    const std::string path = argc > 1 && argv[1][0] ? argv[1] : WREN81_SHARED_DIR "/z80tests/zexdoc.cim";
    const uint64_t limit = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : UINT64_MAX;
    const CpmRun run = run_cpm_program(path, true, limit);
    if (!run.loaded) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        return 1;
    }
    if (!run.finished && limit == UINT64_MAX) std::fprintf(stderr, "\nstopped after %" PRIu64 " T-states without finishing\n", run.tstates);
    const double mhz = run.wall_seconds > 0 ? double(run.tstates) / run.wall_seconds / 1e6 : 0;
    std::printf("\ninstructions=%" PRIu64 " tstates=%" PRIu64 " wall_s=%.3f mhz=%.1f\n", run.instructions,
                run.tstates, run.wall_seconds, mhz);
    return 0;
}
