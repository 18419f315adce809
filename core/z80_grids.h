// The Z80's instruction set as seven dispatch grids, one per opcode table, and the
// prefixes that lead from one table to the next. The handler families are in
// z80_ops*.h; every entry serves both kinds of CPU (see z80_registers.h). How a table
// is dispatched belongs to the CPU kind: z80.cpp jumps through tables of handlers,
// a batch run switches on the opcode.
#pragma once
#include <cstdint>

#include "core/z80.h"
#include "core/z80_ops.h"
#include "core/z80_ops_cb.h"
#include "core/z80_ops_ed.h"
#include "core/z80_registers.h"

namespace z80ops {

template <class Cpu>
using Handler = void (*)(Cpu&);

// Runs opcode op of table T; the opcode fetch's 4 T-states are charged except for
// the indexed CB tables, whose prefix charges its own fetches.
template <Z80Table T>
void dispatch(Z80Registers& c, uint32_t op);
template <Z80Table T>
void dispatch(Z80Locals& c, uint32_t op);

// The prefixes, defined after the grids they dispatch into.
template <class Cpu> void prefix_cb(Cpu& c);
template <class Cpu> void prefix_ed(Cpu& c);
template <int X, class Cpu> void prefix_index(Cpu& c);
template <int X, class Cpu> void prefix_index_cb(Cpu& c);
template <class Cpu> void lone_prefix(Cpu& c);

// ---- the instruction set, one grid per table ----

// Unprefixed instructions.
template <class Cpu>
constexpr Handler<Cpu> main_grid[256] = {
    //        x0/x8          x1/x9                   x2/xA          x3/xB          x4/xC           x5/xD             x6/xE         x7/xF
    /* 00 */ nop,           ld_rr_nn<BC>,           ld_irr_a<BC>,  inc_rr<BC>,    inc_r<B>,       dec_r<B>,         ld_r_n<B>,    rotate_a<RLC>,
    /* 08 */ ex_af_af,      alu_hl_rr<ADD, HL, BC>, ld_a_irr<BC>,  dec_rr<BC>,    inc_r<C>,       dec_r<C>,         ld_r_n<C>,    rotate_a<RRC>,
    /* 10 */ djnz_e,        ld_rr_nn<DE>,           ld_irr_a<DE>,  inc_rr<DE>,    inc_r<D>,       dec_r<D>,         ld_r_n<D>,    rotate_a<RL>,
    /* 18 */ jr_e,          alu_hl_rr<ADD, HL, DE>, ld_a_irr<DE>,  dec_rr<DE>,    inc_r<E>,       dec_r<E>,         ld_r_n<E>,    rotate_a<RR>,
    /* 20 */ jr_cc_e<NZ>,   ld_rr_nn<HL>,           ld_inn_rr<HL>, inc_rr<HL>,    inc_r<H>,       dec_r<H>,         ld_r_n<H>,    daa,
    /* 28 */ jr_cc_e<Z>,    alu_hl_rr<ADD, HL, HL>, ld_rr_inn<HL>, dec_rr<HL>,    inc_r<L>,       dec_r<L>,         ld_r_n<L>,    cpl,
    /* 30 */ jr_cc_e<NC>,   ld_rr_nn<SP>,           ld_inn_a,      inc_rr<SP>,    inc_ihl,        dec_ihl,          ld_ihl_n,     scf,
    /* 38 */ jr_cc_e<CY>,   alu_hl_rr<ADD, HL, SP>, ld_a_inn,      dec_rr<SP>,    inc_r<A>,       dec_r<A>,         ld_r_n<A>,    ccf,
    /* 40 */ ld_r_r<B, B>,  ld_r_r<B, C>,           ld_r_r<B, D>,  ld_r_r<B, E>,  ld_r_r<B, H>,   ld_r_r<B, L>,     ld_r_ihl<B>,  ld_r_r<B, A>,
    /* 48 */ ld_r_r<C, B>,  ld_r_r<C, C>,           ld_r_r<C, D>,  ld_r_r<C, E>,  ld_r_r<C, H>,   ld_r_r<C, L>,     ld_r_ihl<C>,  ld_r_r<C, A>,
    /* 50 */ ld_r_r<D, B>,  ld_r_r<D, C>,           ld_r_r<D, D>,  ld_r_r<D, E>,  ld_r_r<D, H>,   ld_r_r<D, L>,     ld_r_ihl<D>,  ld_r_r<D, A>,
    /* 58 */ ld_r_r<E, B>,  ld_r_r<E, C>,           ld_r_r<E, D>,  ld_r_r<E, E>,  ld_r_r<E, H>,   ld_r_r<E, L>,     ld_r_ihl<E>,  ld_r_r<E, A>,
    /* 60 */ ld_r_r<H, B>,  ld_r_r<H, C>,           ld_r_r<H, D>,  ld_r_r<H, E>,  ld_r_r<H, H>,   ld_r_r<H, L>,     ld_r_ihl<H>,  ld_r_r<H, A>,
    /* 68 */ ld_r_r<L, B>,  ld_r_r<L, C>,           ld_r_r<L, D>,  ld_r_r<L, E>,  ld_r_r<L, H>,   ld_r_r<L, L>,     ld_r_ihl<L>,  ld_r_r<L, A>,
    /* 70 */ ld_ihl_r<B>,   ld_ihl_r<C>,            ld_ihl_r<D>,   ld_ihl_r<E>,   ld_ihl_r<H>,    ld_ihl_r<L>,      halt,         ld_ihl_r<A>,
    /* 78 */ ld_r_r<A, B>,  ld_r_r<A, C>,           ld_r_r<A, D>,  ld_r_r<A, E>,  ld_r_r<A, H>,   ld_r_r<A, L>,     ld_r_ihl<A>,  ld_r_r<A, A>,
    /* 80 */ alu_r<ADD, B>, alu_r<ADD, C>,          alu_r<ADD, D>, alu_r<ADD, E>, alu_r<ADD, H>,  alu_r<ADD, L>,    alu_ihl<ADD>, alu_r<ADD, A>,
    /* 88 */ alu_r<ADC, B>, alu_r<ADC, C>,          alu_r<ADC, D>, alu_r<ADC, E>, alu_r<ADC, H>,  alu_r<ADC, L>,    alu_ihl<ADC>, alu_r<ADC, A>,
    /* 90 */ alu_r<SUB, B>, alu_r<SUB, C>,          alu_r<SUB, D>, alu_r<SUB, E>, alu_r<SUB, H>,  alu_r<SUB, L>,    alu_ihl<SUB>, alu_r<SUB, A>,
    /* 98 */ alu_r<SBC, B>, alu_r<SBC, C>,          alu_r<SBC, D>, alu_r<SBC, E>, alu_r<SBC, H>,  alu_r<SBC, L>,    alu_ihl<SBC>, alu_r<SBC, A>,
    /* A0 */ alu_r<AND, B>, alu_r<AND, C>,          alu_r<AND, D>, alu_r<AND, E>, alu_r<AND, H>,  alu_r<AND, L>,    alu_ihl<AND>, alu_r<AND, A>,
    /* A8 */ alu_r<XOR, B>, alu_r<XOR, C>,          alu_r<XOR, D>, alu_r<XOR, E>, alu_r<XOR, H>,  alu_r<XOR, L>,    alu_ihl<XOR>, alu_r<XOR, A>,
    /* B0 */ alu_r<OR, B>,  alu_r<OR, C>,           alu_r<OR, D>,  alu_r<OR, E>,  alu_r<OR, H>,   alu_r<OR, L>,     alu_ihl<OR>,  alu_r<OR, A>,
    /* B8 */ alu_r<CP, B>,  alu_r<CP, C>,           alu_r<CP, D>,  alu_r<CP, E>,  alu_r<CP, H>,   alu_r<CP, L>,     alu_ihl<CP>,  alu_r<CP, A>,
    /* C0 */ ret_cc<NZ>,    pop_rr<BC>,             jp_cc_nn<NZ>,  jp_nn,         call_cc_nn<NZ>, push_rr<BC>,      alu_n<ADD>,   rst_p<0x00>,
    /* C8 */ ret_cc<Z>,     ret,                    jp_cc_nn<Z>,   prefix_cb,     call_cc_nn<Z>,  call_nn,          alu_n<ADC>,   rst_p<0x08>,
    /* D0 */ ret_cc<NC>,    pop_rr<DE>,             jp_cc_nn<NC>,  out_in_a,      call_cc_nn<NC>, push_rr<DE>,      alu_n<SUB>,   rst_p<0x10>,
    /* D8 */ ret_cc<CY>,    exx,                    jp_cc_nn<CY>,  in_a_in,       call_cc_nn<CY>, prefix_index<IX>, alu_n<SBC>,   rst_p<0x18>,
    /* E0 */ ret_cc<PO>,    pop_rr<HL>,             jp_cc_nn<PO>,  ex_isp_rr<HL>, call_cc_nn<PO>, push_rr<HL>,      alu_n<AND>,   rst_p<0x20>,
    /* E8 */ ret_cc<PE>,    jp_rr<HL>,              jp_cc_nn<PE>,  ex_de_hl,      call_cc_nn<PE>, prefix_ed,        alu_n<XOR>,   rst_p<0x28>,
    /* F0 */ ret_cc<P>,     pop_rr<AF>,             jp_cc_nn<P>,   di,            call_cc_nn<P>,  push_rr<AF>,      alu_n<OR>,    rst_p<0x30>,
    /* F8 */ ret_cc<M>,     ld_sp_rr<HL>,           jp_cc_nn<M>,   ei,            call_cc_nn<M>,  prefix_index<IY>, alu_n<CP>,    rst_p<0x38>,
};

// CB: shifts and rotates, BIT, RES and SET.
template <class Cpu>
constexpr Handler<Cpu> cb_grid[256] = {
    //        x0/x8          x1/x9          x2/xA          x3/xB          x4/xC          x5/xD          x6/xE         x7/xF
    /* 00 */ rot_r<RLC, B>, rot_r<RLC, C>, rot_r<RLC, D>, rot_r<RLC, E>, rot_r<RLC, H>, rot_r<RLC, L>, rot_ihl<RLC>, rot_r<RLC, A>,
    /* 08 */ rot_r<RRC, B>, rot_r<RRC, C>, rot_r<RRC, D>, rot_r<RRC, E>, rot_r<RRC, H>, rot_r<RRC, L>, rot_ihl<RRC>, rot_r<RRC, A>,
    /* 10 */ rot_r<RL, B>,  rot_r<RL, C>,  rot_r<RL, D>,  rot_r<RL, E>,  rot_r<RL, H>,  rot_r<RL, L>,  rot_ihl<RL>,  rot_r<RL, A>,
    /* 18 */ rot_r<RR, B>,  rot_r<RR, C>,  rot_r<RR, D>,  rot_r<RR, E>,  rot_r<RR, H>,  rot_r<RR, L>,  rot_ihl<RR>,  rot_r<RR, A>,
    /* 20 */ rot_r<SLA, B>, rot_r<SLA, C>, rot_r<SLA, D>, rot_r<SLA, E>, rot_r<SLA, H>, rot_r<SLA, L>, rot_ihl<SLA>, rot_r<SLA, A>,
    /* 28 */ rot_r<SRA, B>, rot_r<SRA, C>, rot_r<SRA, D>, rot_r<SRA, E>, rot_r<SRA, H>, rot_r<SRA, L>, rot_ihl<SRA>, rot_r<SRA, A>,
    /* 30 */ rot_r<SLL, B>, rot_r<SLL, C>, rot_r<SLL, D>, rot_r<SLL, E>, rot_r<SLL, H>, rot_r<SLL, L>, rot_ihl<SLL>, rot_r<SLL, A>,
    /* 38 */ rot_r<SRL, B>, rot_r<SRL, C>, rot_r<SRL, D>, rot_r<SRL, E>, rot_r<SRL, H>, rot_r<SRL, L>, rot_ihl<SRL>, rot_r<SRL, A>,
    /* 40 */ bit_r<0, B>,   bit_r<0, C>,   bit_r<0, D>,   bit_r<0, E>,   bit_r<0, H>,   bit_r<0, L>,   bit_ihl<0>,   bit_r<0, A>,
    /* 48 */ bit_r<1, B>,   bit_r<1, C>,   bit_r<1, D>,   bit_r<1, E>,   bit_r<1, H>,   bit_r<1, L>,   bit_ihl<1>,   bit_r<1, A>,
    /* 50 */ bit_r<2, B>,   bit_r<2, C>,   bit_r<2, D>,   bit_r<2, E>,   bit_r<2, H>,   bit_r<2, L>,   bit_ihl<2>,   bit_r<2, A>,
    /* 58 */ bit_r<3, B>,   bit_r<3, C>,   bit_r<3, D>,   bit_r<3, E>,   bit_r<3, H>,   bit_r<3, L>,   bit_ihl<3>,   bit_r<3, A>,
    /* 60 */ bit_r<4, B>,   bit_r<4, C>,   bit_r<4, D>,   bit_r<4, E>,   bit_r<4, H>,   bit_r<4, L>,   bit_ihl<4>,   bit_r<4, A>,
    /* 68 */ bit_r<5, B>,   bit_r<5, C>,   bit_r<5, D>,   bit_r<5, E>,   bit_r<5, H>,   bit_r<5, L>,   bit_ihl<5>,   bit_r<5, A>,
    /* 70 */ bit_r<6, B>,   bit_r<6, C>,   bit_r<6, D>,   bit_r<6, E>,   bit_r<6, H>,   bit_r<6, L>,   bit_ihl<6>,   bit_r<6, A>,
    /* 78 */ bit_r<7, B>,   bit_r<7, C>,   bit_r<7, D>,   bit_r<7, E>,   bit_r<7, H>,   bit_r<7, L>,   bit_ihl<7>,   bit_r<7, A>,
    /* 80 */ res_r<0, B>,   res_r<0, C>,   res_r<0, D>,   res_r<0, E>,   res_r<0, H>,   res_r<0, L>,   res_ihl<0>,   res_r<0, A>,
    /* 88 */ res_r<1, B>,   res_r<1, C>,   res_r<1, D>,   res_r<1, E>,   res_r<1, H>,   res_r<1, L>,   res_ihl<1>,   res_r<1, A>,
    /* 90 */ res_r<2, B>,   res_r<2, C>,   res_r<2, D>,   res_r<2, E>,   res_r<2, H>,   res_r<2, L>,   res_ihl<2>,   res_r<2, A>,
    /* 98 */ res_r<3, B>,   res_r<3, C>,   res_r<3, D>,   res_r<3, E>,   res_r<3, H>,   res_r<3, L>,   res_ihl<3>,   res_r<3, A>,
    /* A0 */ res_r<4, B>,   res_r<4, C>,   res_r<4, D>,   res_r<4, E>,   res_r<4, H>,   res_r<4, L>,   res_ihl<4>,   res_r<4, A>,
    /* A8 */ res_r<5, B>,   res_r<5, C>,   res_r<5, D>,   res_r<5, E>,   res_r<5, H>,   res_r<5, L>,   res_ihl<5>,   res_r<5, A>,
    /* B0 */ res_r<6, B>,   res_r<6, C>,   res_r<6, D>,   res_r<6, E>,   res_r<6, H>,   res_r<6, L>,   res_ihl<6>,   res_r<6, A>,
    /* B8 */ res_r<7, B>,   res_r<7, C>,   res_r<7, D>,   res_r<7, E>,   res_r<7, H>,   res_r<7, L>,   res_ihl<7>,   res_r<7, A>,
    /* C0 */ set_r<0, B>,   set_r<0, C>,   set_r<0, D>,   set_r<0, E>,   set_r<0, H>,   set_r<0, L>,   set_ihl<0>,   set_r<0, A>,
    /* C8 */ set_r<1, B>,   set_r<1, C>,   set_r<1, D>,   set_r<1, E>,   set_r<1, H>,   set_r<1, L>,   set_ihl<1>,   set_r<1, A>,
    /* D0 */ set_r<2, B>,   set_r<2, C>,   set_r<2, D>,   set_r<2, E>,   set_r<2, H>,   set_r<2, L>,   set_ihl<2>,   set_r<2, A>,
    /* D8 */ set_r<3, B>,   set_r<3, C>,   set_r<3, D>,   set_r<3, E>,   set_r<3, H>,   set_r<3, L>,   set_ihl<3>,   set_r<3, A>,
    /* E0 */ set_r<4, B>,   set_r<4, C>,   set_r<4, D>,   set_r<4, E>,   set_r<4, H>,   set_r<4, L>,   set_ihl<4>,   set_r<4, A>,
    /* E8 */ set_r<5, B>,   set_r<5, C>,   set_r<5, D>,   set_r<5, E>,   set_r<5, H>,   set_r<5, L>,   set_ihl<5>,   set_r<5, A>,
    /* F0 */ set_r<6, B>,   set_r<6, C>,   set_r<6, D>,   set_r<6, E>,   set_r<6, H>,   set_r<6, L>,   set_ihl<6>,   set_r<6, A>,
    /* F8 */ set_r<7, B>,   set_r<7, C>,   set_r<7, D>,   set_r<7, E>,   set_r<7, H>,   set_r<7, L>,   set_ihl<7>,   set_r<7, A>,
};

// ED: the nop entries are the undefined opcodes, no-operations of 8 T-states; ED FD
// and ED FE leave the second byte to run as an instruction of its own.
template <class Cpu>
constexpr Handler<Cpu> ed_grid[256] = {
    //        x0/x8                x1/x9                x2/xA                   x3/xB                 x4/xC      x5/xD        x6/xE        x7/xF
    /* 00 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 08 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 10 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 18 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 20 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 28 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 30 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 38 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 40 */ in_r_ic<B>,          out_ic_r<B>,         alu_hl_rr<SBC, HL, BC>, ld_inn_rr<BC>,        neg,       retn,        im_n<0>,     ld_i_a,
    /* 48 */ in_r_ic<C>,          out_ic_r<C>,         alu_hl_rr<ADC, HL, BC>, ld_rr_inn<BC>,        neg,       retn,        im_n<0>,     ld_r_a,
    /* 50 */ in_r_ic<D>,          out_ic_r<D>,         alu_hl_rr<SBC, HL, DE>, ld_inn_rr<DE>,        neg,       retn,        im_n<1>,     ld_a_i,
    /* 58 */ in_r_ic<E>,          out_ic_r<E>,         alu_hl_rr<ADC, HL, DE>, ld_rr_inn<DE>,        neg,       retn,        im_n<2>,     ld_a_r,
    /* 60 */ in_r_ic<H>,          out_ic_r<H>,         alu_hl_rr<SBC, HL, HL>, ld_inn_rr<HL>,        neg,       retn,        im_n<0>,     rotate_digit<false>,
    /* 68 */ in_r_ic<L>,          out_ic_r<L>,         alu_hl_rr<ADC, HL, HL>, ld_rr_inn<HL>,        neg,       retn,        im_n<0>,     rotate_digit<true>,
    /* 70 */ in_r_ic<HLI>,        out_ic_r<HLI>,       alu_hl_rr<SBC, HL, SP>, ld_inn_rr<SP>,        neg,       retn,        im_n<1>,     nop,
    /* 78 */ in_r_ic<A>,          out_ic_r<A>,         alu_hl_rr<ADC, HL, SP>, ld_rr_inn<SP>,        neg,       retn,        im_n<2>,     nop,
    /* 80 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 88 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 90 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* 98 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* A0 */ ld_block<+1, false>, cp_block<+1, false>, in_block<+1, false>,    out_block<+1, false>, nop,       nop,         nop,         nop,
    /* A8 */ ld_block<-1, false>, cp_block<-1, false>, in_block<-1, false>,    out_block<-1, false>, nop,       nop,         nop,         nop,
    /* B0 */ ld_block<+1, true>,  cp_block<+1, true>,  in_block<+1, true>,     out_block<+1, true>,  nop,       nop,         nop,         nop,
    /* B8 */ ld_block<-1, true>,  cp_block<-1, true>,  in_block<-1, true>,     out_block<-1, true>,  nop,       nop,         nop,         nop,
    /* C0 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* C8 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* D0 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* D8 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* E0 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* E8 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* F0 */ nop,                 nop,                 nop,                    nop,                  nop,       nop,         nop,         nop,
    /* F8 */ nop,                 nop,                 nop,                    nop,                  trap_load, lone_prefix, lone_prefix, nop,
};

// DD and FD: X is IX after DD and IY after FD, in place of HL, H and L; (HL) becomes
// (X+d). A prefix before an opcode without an indexed form acts alone.
template <int X, class Cpu>
constexpr Handler<Cpu> index_grid[256] = {
    //        x0/x8            x1/x9                  x2/xA            x3/xB               x4/xC             x5/xD             x6/xE            x7/xF
    /* 00 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* 08 */ lone_prefix,     alu_hl_rr<ADD, X, BC>, lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* 10 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* 18 */ lone_prefix,     alu_hl_rr<ADD, X, DE>, lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* 20 */ lone_prefix,     ld_rr_nn<X>,           ld_inn_rr<X>,    inc_rr<X>,          inc_r<H, X>,      dec_r<H, X>,      ld_r_n<H, X>,    lone_prefix,
    /* 28 */ lone_prefix,     alu_hl_rr<ADD, X, X>,  ld_rr_inn<X>,    dec_rr<X>,          inc_r<L, X>,      dec_r<L, X>,      ld_r_n<L, X>,    lone_prefix,
    /* 30 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        inc_ixd<X>,       dec_ixd<X>,       ld_ixd_n<X>,     lone_prefix,
    /* 38 */ lone_prefix,     alu_hl_rr<ADD, X, SP>, lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* 40 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        ld_r_r<B, H, X>,  ld_r_r<B, L, X>,  ld_r_ixd<X, B>,  lone_prefix,
    /* 48 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        ld_r_r<C, H, X>,  ld_r_r<C, L, X>,  ld_r_ixd<X, C>,  lone_prefix,
    /* 50 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        ld_r_r<D, H, X>,  ld_r_r<D, L, X>,  ld_r_ixd<X, D>,  lone_prefix,
    /* 58 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        ld_r_r<E, H, X>,  ld_r_r<E, L, X>,  ld_r_ixd<X, E>,  lone_prefix,
    /* 60 */ ld_r_r<H, B, X>, ld_r_r<H, C, X>,       ld_r_r<H, D, X>, ld_r_r<H, E, X>,    ld_r_r<H, H, X>,  ld_r_r<H, L, X>,  ld_r_ixd<X, H>,  ld_r_r<H, A, X>,
    /* 68 */ ld_r_r<L, B, X>, ld_r_r<L, C, X>,       ld_r_r<L, D, X>, ld_r_r<L, E, X>,    ld_r_r<L, H, X>,  ld_r_r<L, L, X>,  ld_r_ixd<X, L>,  ld_r_r<L, A, X>,
    /* 70 */ ld_ixd_r<X, B>,  ld_ixd_r<X, C>,        ld_ixd_r<X, D>,  ld_ixd_r<X, E>,     ld_ixd_r<X, H>,   ld_ixd_r<X, L>,   lone_prefix,     ld_ixd_r<X, A>,
    /* 78 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        ld_r_r<A, H, X>,  ld_r_r<A, L, X>,  ld_r_ixd<X, A>,  lone_prefix,
    /* 80 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<ADD, H, X>, alu_r<ADD, L, X>, alu_ixd<ADD, X>, lone_prefix,
    /* 88 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<ADC, H, X>, alu_r<ADC, L, X>, alu_ixd<ADC, X>, lone_prefix,
    /* 90 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<SUB, H, X>, alu_r<SUB, L, X>, alu_ixd<SUB, X>, lone_prefix,
    /* 98 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<SBC, H, X>, alu_r<SBC, L, X>, alu_ixd<SBC, X>, lone_prefix,
    /* A0 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<AND, H, X>, alu_r<AND, L, X>, alu_ixd<AND, X>, lone_prefix,
    /* A8 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<XOR, H, X>, alu_r<XOR, L, X>, alu_ixd<XOR, X>, lone_prefix,
    /* B0 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<OR, H, X>,  alu_r<OR, L, X>,  alu_ixd<OR, X>,  lone_prefix,
    /* B8 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        alu_r<CP, H, X>,  alu_r<CP, L, X>,  alu_ixd<CP, X>,  lone_prefix,
    /* C0 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* C8 */ lone_prefix,     lone_prefix,           lone_prefix,     prefix_index_cb<X>, lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* D0 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* D8 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* E0 */ lone_prefix,     pop_rr<X>,             lone_prefix,     ex_isp_rr<X>,       lone_prefix,      push_rr<X>,       lone_prefix,     lone_prefix,
    /* E8 */ lone_prefix,     jp_rr<X>,              lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* F0 */ lone_prefix,     lone_prefix,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
    /* F8 */ lone_prefix,     ld_sp_rr<X>,           lone_prefix,     lone_prefix,        lone_prefix,      lone_prefix,      lone_prefix,     lone_prefix,
};

// DD CB d op and FD CB d op, with the address IX+d or IY+d already worked out.
template <class Cpu>
constexpr Handler<Cpu> index_cb_grid[256] = {
    //        x0/x8            x1/x9            x2/xA            x3/xB            x4/xC            x5/xD            x6/xE              x7/xF
    /* 00 */ rot_ixd<RLC, B>, rot_ixd<RLC, C>, rot_ixd<RLC, D>, rot_ixd<RLC, E>, rot_ixd<RLC, H>, rot_ixd<RLC, L>, rot_ixd<RLC, HLI>, rot_ixd<RLC, A>,
    /* 08 */ rot_ixd<RRC, B>, rot_ixd<RRC, C>, rot_ixd<RRC, D>, rot_ixd<RRC, E>, rot_ixd<RRC, H>, rot_ixd<RRC, L>, rot_ixd<RRC, HLI>, rot_ixd<RRC, A>,
    /* 10 */ rot_ixd<RL, B>,  rot_ixd<RL, C>,  rot_ixd<RL, D>,  rot_ixd<RL, E>,  rot_ixd<RL, H>,  rot_ixd<RL, L>,  rot_ixd<RL, HLI>,  rot_ixd<RL, A>,
    /* 18 */ rot_ixd<RR, B>,  rot_ixd<RR, C>,  rot_ixd<RR, D>,  rot_ixd<RR, E>,  rot_ixd<RR, H>,  rot_ixd<RR, L>,  rot_ixd<RR, HLI>,  rot_ixd<RR, A>,
    /* 20 */ rot_ixd<SLA, B>, rot_ixd<SLA, C>, rot_ixd<SLA, D>, rot_ixd<SLA, E>, rot_ixd<SLA, H>, rot_ixd<SLA, L>, rot_ixd<SLA, HLI>, rot_ixd<SLA, A>,
    /* 28 */ rot_ixd<SRA, B>, rot_ixd<SRA, C>, rot_ixd<SRA, D>, rot_ixd<SRA, E>, rot_ixd<SRA, H>, rot_ixd<SRA, L>, rot_ixd<SRA, HLI>, rot_ixd<SRA, A>,
    /* 30 */ rot_ixd<SLL, B>, rot_ixd<SLL, C>, rot_ixd<SLL, D>, rot_ixd<SLL, E>, rot_ixd<SLL, H>, rot_ixd<SLL, L>, rot_ixd<SLL, HLI>, rot_ixd<SLL, A>,
    /* 38 */ rot_ixd<SRL, B>, rot_ixd<SRL, C>, rot_ixd<SRL, D>, rot_ixd<SRL, E>, rot_ixd<SRL, H>, rot_ixd<SRL, L>, rot_ixd<SRL, HLI>, rot_ixd<SRL, A>,
    /* 40 */ bit_ixd<0>,      bit_ixd<0>,      bit_ixd<0>,      bit_ixd<0>,      bit_ixd<0>,      bit_ixd<0>,      bit_ixd<0>,        bit_ixd<0>,
    /* 48 */ bit_ixd<1>,      bit_ixd<1>,      bit_ixd<1>,      bit_ixd<1>,      bit_ixd<1>,      bit_ixd<1>,      bit_ixd<1>,        bit_ixd<1>,
    /* 50 */ bit_ixd<2>,      bit_ixd<2>,      bit_ixd<2>,      bit_ixd<2>,      bit_ixd<2>,      bit_ixd<2>,      bit_ixd<2>,        bit_ixd<2>,
    /* 58 */ bit_ixd<3>,      bit_ixd<3>,      bit_ixd<3>,      bit_ixd<3>,      bit_ixd<3>,      bit_ixd<3>,      bit_ixd<3>,        bit_ixd<3>,
    /* 60 */ bit_ixd<4>,      bit_ixd<4>,      bit_ixd<4>,      bit_ixd<4>,      bit_ixd<4>,      bit_ixd<4>,      bit_ixd<4>,        bit_ixd<4>,
    /* 68 */ bit_ixd<5>,      bit_ixd<5>,      bit_ixd<5>,      bit_ixd<5>,      bit_ixd<5>,      bit_ixd<5>,      bit_ixd<5>,        bit_ixd<5>,
    /* 70 */ bit_ixd<6>,      bit_ixd<6>,      bit_ixd<6>,      bit_ixd<6>,      bit_ixd<6>,      bit_ixd<6>,      bit_ixd<6>,        bit_ixd<6>,
    /* 78 */ bit_ixd<7>,      bit_ixd<7>,      bit_ixd<7>,      bit_ixd<7>,      bit_ixd<7>,      bit_ixd<7>,      bit_ixd<7>,        bit_ixd<7>,
    /* 80 */ res_ixd<0, B>,   res_ixd<0, C>,   res_ixd<0, D>,   res_ixd<0, E>,   res_ixd<0, H>,   res_ixd<0, L>,   res_ixd<0, HLI>,   res_ixd<0, A>,
    /* 88 */ res_ixd<1, B>,   res_ixd<1, C>,   res_ixd<1, D>,   res_ixd<1, E>,   res_ixd<1, H>,   res_ixd<1, L>,   res_ixd<1, HLI>,   res_ixd<1, A>,
    /* 90 */ res_ixd<2, B>,   res_ixd<2, C>,   res_ixd<2, D>,   res_ixd<2, E>,   res_ixd<2, H>,   res_ixd<2, L>,   res_ixd<2, HLI>,   res_ixd<2, A>,
    /* 98 */ res_ixd<3, B>,   res_ixd<3, C>,   res_ixd<3, D>,   res_ixd<3, E>,   res_ixd<3, H>,   res_ixd<3, L>,   res_ixd<3, HLI>,   res_ixd<3, A>,
    /* A0 */ res_ixd<4, B>,   res_ixd<4, C>,   res_ixd<4, D>,   res_ixd<4, E>,   res_ixd<4, H>,   res_ixd<4, L>,   res_ixd<4, HLI>,   res_ixd<4, A>,
    /* A8 */ res_ixd<5, B>,   res_ixd<5, C>,   res_ixd<5, D>,   res_ixd<5, E>,   res_ixd<5, H>,   res_ixd<5, L>,   res_ixd<5, HLI>,   res_ixd<5, A>,
    /* B0 */ res_ixd<6, B>,   res_ixd<6, C>,   res_ixd<6, D>,   res_ixd<6, E>,   res_ixd<6, H>,   res_ixd<6, L>,   res_ixd<6, HLI>,   res_ixd<6, A>,
    /* B8 */ res_ixd<7, B>,   res_ixd<7, C>,   res_ixd<7, D>,   res_ixd<7, E>,   res_ixd<7, H>,   res_ixd<7, L>,   res_ixd<7, HLI>,   res_ixd<7, A>,
    /* C0 */ set_ixd<0, B>,   set_ixd<0, C>,   set_ixd<0, D>,   set_ixd<0, E>,   set_ixd<0, H>,   set_ixd<0, L>,   set_ixd<0, HLI>,   set_ixd<0, A>,
    /* C8 */ set_ixd<1, B>,   set_ixd<1, C>,   set_ixd<1, D>,   set_ixd<1, E>,   set_ixd<1, H>,   set_ixd<1, L>,   set_ixd<1, HLI>,   set_ixd<1, A>,
    /* D0 */ set_ixd<2, B>,   set_ixd<2, C>,   set_ixd<2, D>,   set_ixd<2, E>,   set_ixd<2, H>,   set_ixd<2, L>,   set_ixd<2, HLI>,   set_ixd<2, A>,
    /* D8 */ set_ixd<3, B>,   set_ixd<3, C>,   set_ixd<3, D>,   set_ixd<3, E>,   set_ixd<3, H>,   set_ixd<3, L>,   set_ixd<3, HLI>,   set_ixd<3, A>,
    /* E0 */ set_ixd<4, B>,   set_ixd<4, C>,   set_ixd<4, D>,   set_ixd<4, E>,   set_ixd<4, H>,   set_ixd<4, L>,   set_ixd<4, HLI>,   set_ixd<4, A>,
    /* E8 */ set_ixd<5, B>,   set_ixd<5, C>,   set_ixd<5, D>,   set_ixd<5, E>,   set_ixd<5, H>,   set_ixd<5, L>,   set_ixd<5, HLI>,   set_ixd<5, A>,
    /* F0 */ set_ixd<6, B>,   set_ixd<6, C>,   set_ixd<6, D>,   set_ixd<6, E>,   set_ixd<6, H>,   set_ixd<6, L>,   set_ixd<6, HLI>,   set_ixd<6, A>,
    /* F8 */ set_ixd<7, B>,   set_ixd<7, C>,   set_ixd<7, D>,   set_ixd<7, E>,   set_ixd<7, H>,   set_ixd<7, L>,   set_ixd<7, HLI>,   set_ixd<7, A>,
};


// A grid by table.
template <class Cpu>
constexpr const Handler<Cpu>* grid_of(Z80Table t)
{
    switch (t) {
    case table_main: return main_grid<Cpu>;
    case table_cb: return cb_grid<Cpu>;
    case table_ed: return ed_grid<Cpu>;
    case table_dd: return index_grid<IX, Cpu>;
    case table_fd: return index_grid<IY, Cpu>;
    default: return index_cb_grid<Cpu>;
    }
}

// ---- prefixes ----

// The M1 cycle of a prefixed instruction's second opcode byte.
template <class Cpu>
Z80_INLINE uint32_t fetch_next_opcode(Cpu& c)
{
    count_refresh(c);
    return fetch_opcode(c, uint16_t(take_pc<1>(c)));
}

template <class Cpu>
void prefix_cb(Cpu& c) { dispatch<table_cb>(c, fetch_next_opcode(c)); }
template <class Cpu>
void prefix_ed(Cpu& c) { dispatch<table_ed>(c, fetch_next_opcode(c)); }

template <int X, class Cpu>
void prefix_index(Cpu& c) { dispatch<X == IX ? table_dd : table_fd>(c, fetch_next_opcode(c)); }

// DD CB d op: the displacement and the final opcode come through opcode fetches
// that together take 8 T-states and leave R alone.
template <int X, class Cpu>
void prefix_index_cb(Cpu& c)
{
    const uint32_t pc = take_pc<2>(c);
    const int32_t d = int8_t(fetch_opcode(c, uint16_t(pc)));
    clock(c, 8);
    const uint32_t op = fetch_opcode(c, uint16_t(pc + 1));
    regs(c).cb_address = uint16_t(get<X>(c) + d);
    dispatch<X == IX ? table_ddcb : table_fdcb>(c, op);
}

// A prefix whose opcode has no meaning after it: the prefix alone was the instruction,
// and the opcode is fetched and run again as the next one.
template <class Cpu>
void lone_prefix(Cpu& c)
{
    set<PC>(c, get<PC>(c) - 1);
    uncount_refresh(c);
}

}  // namespace z80ops
