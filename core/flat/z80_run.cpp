// The batch run on the flat bus.
#include "core/z80_run.h"

#include "core/z80_batch.h"

[[gnu::flatten]] uint32_t z80_run(uint32_t count)
{
    using namespace z80ops;
    Z80Locals c;
    copy_registers(c, z80);
    c.tstates = tstates;
    c.ran = 0;
    c.limit = count;
    while (c.ran < c.limit) {
        ++c.ran;
        run_one(c);
    }
    copy_registers(z80, c);
    tstates = c.tstates;
    return c.ran;
}
