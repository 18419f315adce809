#include "core/z80.h"
#include "bus.h"
void execute_instruction(){ instr_start_tstates=tstates; tstates+=4; ++z80.r; fetch_opcode(z80.pc++); z80.r&=0x7f; after_instruction(); }
void step_instruction(){ execute_instruction(); }
bool accept_interrupt(){ int_pending=0; return false; }
int accept_nmi(int){ return 0; }
Z80Handler z80_handler(Z80Table, int){ return nullptr; }
