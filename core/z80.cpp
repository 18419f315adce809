// The Z80 processor as the machine runs it, one instruction at a time on the register
// record: the dispatch tables, the instruction cycle and the interrupt entries. The
// instruction set is in z80_grids.h.
#include "core/z80.h"

#include <array>
#include <cstddef>
#include <utility>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80_grids.h"
#include "core/z80_registers.h"
#include "core/z80_step.h"

namespace {

using namespace z80ops;

// ---- the tables as dispatched ----

// Every opcode fetch (M1 cycle) takes 4 T-states. A table entry charges those of the
// fetch that brought its opcode, so that they fold into the handler's own count.
template <Handler<Z80Registers> H>
[[gnu::flatten]] void after_opcode_fetch()
{
    clock(z80, 4);
    H(z80);
}

template <Z80Table T, size_t... Op>
constexpr std::array<Z80Handler, 256> charging_fetch(std::index_sequence<Op...>)
{
    return {{after_opcode_fetch<grid_of<Z80Registers>(T)[Op]>...}};
}

template <Z80Table T>
constexpr std::array<Z80Handler, 256> dispatch_table = charging_fetch<T>(std::make_index_sequence<256>());

constexpr auto& main_table = dispatch_table<table_main>;

// Fetch, decode and run one instruction.
Z80_INLINE void run_instruction() { run_instruction_through(main_table.data()); }

// Leaving HALT: the return address is the instruction after it.
void leave_halt()
{
    if (get<HALTED>(z80)) {
        set<HALTED>(z80, 0);
        set<PC>(z80, get<PC>(z80) + 1);
    }
}

}  // namespace

namespace z80ops {

template <Z80Table T>
void dispatch(Z80Registers& c, uint32_t op)
{
    if constexpr (T == table_ddcb || T == table_fdcb) {
        grid_of<Z80Registers>(T)[op](c);
    } else {
        dispatch_table<T>[op]();
    }
}

}  // namespace z80ops

const std::array<Z80Handler, 256> z80_main_table = main_table;

namespace {

// The main table's handlers, each followed by the debugger's per-instruction duties.
template <int Op>
void with_duties()
{
    main_table[Op]();
    if (after_instruction()) stop_instruction_loop();
}
template <int... Ops>
constexpr std::array<Z80Handler, 256> duties_table_of(std::integer_sequence<int, Ops...>)
{
    return {with_duties<Ops>...};
}
constexpr std::array<Z80Handler, 256> duties_table = duties_table_of(std::make_integer_sequence<int, 256>{});

}  // namespace

const Z80Handler* const z80_duties_dispatch = duties_table.data();
const Z80Handler* z80_dispatch = main_table.data();

void execute_instruction()
{
    run_instruction();
    after_instruction();
}

void step_instruction()
{
    port_event = port_event_none;
    run_instruction();
    after_step(tstates - instr_start_tstates);
}

// Maskable interrupt: 13 T-states in modes 0 and 1 (mode 0 runs as mode 1, RST 38),
// 19 in mode 2, which jumps through the vector at I * 256 + 0xFF.
bool accept_interrupt()
{
    int_pending = 0;
    if (!z80.iff1) return false;
    leave_halt();
    z80.iff1 = z80.iff2 = 0;
    push(z80, get<PC>(z80));
    count_refresh(z80);
    if (z80.im == 2) {
        set<PC>(z80, read_word(z80, get<IREG>(z80) << 8 | 0xFF));
    } else {
        set<PC>(z80, 0x0038);
    }
    clock(z80, 7);
    return true;
}

// NMI: IFF2 keeps the old IFF1 for RETN. A halted CPU waits for the end of the
// scanline plus 4 T-states. The pushes are not charged; the caller adds the result.
int accept_nmi(int pixel_position)
{
    z80.iff1 = 0;
    int wait = 0;
    if (get<HALTED>(z80)) {
        wait = tstates_per_line - pixel_position / 2 + 4;
        if (wait < 0) wait = 0;
    }
    leave_halt();
    const uint32_t before = tstates;
    push(z80, get<PC>(z80));
    tstates = before;
    set<PC>(z80, 0x0066);
    count_refresh(z80);
    return wait + 4;
}

int z80_empty_slots()
{
    int empty = 0;
    for (int t = 0; t < z80_table_count; ++t)
        for (int op = 0; op < 256; ++op) empty += !grid_of<Z80Registers>(Z80Table(t))[op];
    return empty;
}
