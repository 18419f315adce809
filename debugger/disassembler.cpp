#include "debugger/disassembler.h"

#include "debugger/rom_labels.h"

namespace {

// Operand and mnemonic spellings. Mnemonics are padded to six columns; "*" marks a
// slot with no instruction and is printed as it stands.
const char* const reg8[8] = {"B", "C", "D", "E", "H", "L", "(HL)", "A"};
const char* const pair_sp[4] = {"BC", "DE", "HL", "SP"};
const char* const pair_af[4] = {"BC", "DE", "HL", "AF"};
const char* const condition_comma[8] = {"NZ,", "Z,", "NC,", "C,", "PO,", "PE,", "P,", "M,"};
const char* const condition[8] = {"NZ", "Z", "NC", "C", "PO", "PE", "P", "M"};
const char* const arithmetic[8] = {"ADD   A,", "ADC   A,", "SUB   ", "SBC   A,",
                                   "AND   ",   "XOR   ",   "OR    ", "CP    "};
// SLL has five columns, so its operand starts one column early.
const char* const rotate[8] = {"RLC   ", "RRC   ", "RL    ", "RR    ",
                               "SLA   ", "SRA   ", "SLL  ",  "SRL   "};
const char* const accumulator_ops[8] = {"RLCA", "RRCA", "RLA", "RRA", "DAA", "CPL", "SCF", "CCF"};
const char* const bit_number[8] = {"0", "1", "2", "3", "4", "5", "6", "7"};
const char* const bit_ops[4] = {nullptr, "BIT   ", "RES   ", "SET   "};
const char* const rst_hex[8] = {"#00", "#08", "#10", "#18", "#20", "#28", "#30", "#38"};
const char* const rst_decimal[8] = {"0", "8", "16", "24", "32", "40", "48", "56"};
const char* const ed_interrupt_mode[8] = {"IM    0", "*", "IM    1", "IM    2", "*", "*", "*", "*"};
const char* const ed_z7[8] = {"LD    I,A", "LD    R,A", "LD    A,I", "LD    A,R",
                              "RRD",       "RLD",       "*",         "*"};
const char* const block_stem[8] = {"LD", "CP", "IN", "OUT", "*", "*", "*", "*"};
const char* const block_suffix[8] = {"*", "*", "*", "*", "I", "D", "IR", "DR"};
const char* const ld_a_indirect[4] = {"(BC),A", "A,(BC)", "(DE),A", "A,(DE)"};

const char hex_digit[] = "0123456789ABCDEF";

// Appends to a fixed buffer, silently stopping one short of its end.
struct TextBuffer {
    char* text;
    int size;
    int length;

    void put(char c)
    {
        if (length < size - 1) text[length++] = c;
    }
    void put(const char* s)
    {
        while (*s) put(*s++);
    }
    void put_hex(uint32_t v, int digits)
    {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) put(hex_digit[(v >> shift) & 15]);
    }
    void put_decimal(uint32_t v)
    {
        char digits[10];
        int n = 0;
        do digits[n++] = char('0' + v % 10);
        while (v /= 10);
        while (n) put(digits[--n]);
    }
    void finish() { text[length] = 0; }
};

// The state of one instruction being decoded.
struct Decoder {
    const uint8_t* bytes;  // the four bytes from the instruction's address
    int used;              // how many of them the instruction has taken
    uint32_t address;
    const DisasmStyle* style;
    char index;            // 0, or 'X' / 'Y' after a DD / FD prefix
    TextBuffer out;

    bool hex() const { return style->number_base != 10; }
    uint8_t next() { return bytes[used++]; }
    uint16_t next_word()
    {
        const uint8_t low = next();
        return uint16_t(low | next() << 8);
    }

    void put(const char* s) { out.put(s); }
    const char* hl() const { return index == 'X' ? "IX" : index == 'Y' ? "IY" : "HL"; }
    const char* rp(int p) const { return p == 2 ? hl() : pair_sp[p]; }
    const char* rp2(int p) const { return p == 2 ? hl() : pair_af[p]; }

    // An 8-bit immediate: "#0A" or "10".
    void format_byte(uint8_t v)
    {
        if (hex()) {
            out.put('#');
            out.put_hex(v, 2);
        } else {
            out.put_decimal(v);
        }
    }

    // A 16-bit address or jump target: a routine or system-variable name when one is
    // asked for and known, else "#1234" or "4660".
    void format_address_operand(uint32_t v)
    {
        const char* name = style->rom_labels ? rom_label_at(v) : nullptr;
        if (!name && style->system_variables) name = system_variable_at(v);
        if (name) {
            put(name);
        } else if (hex()) {
            out.put('#');
            out.put_hex(v, 4);
        } else {
            out.put_decimal(v);
        }
    }

    void format_displacement(uint8_t d)
    {
        put(index == 'X' ? "(IX" : "(IY");
        out.put(d < 0x80 ? '+' : '-');
        format_byte(uint8_t(d < 0x80 ? d : 256 - d));
        out.put(')');
    }

    void nn() { format_address_operand(next_word()); }
    void n() { format_byte(next()); }
    // JR and DJNZ: relative to the byte after the instruction.
    void relative_target()
    {
        const int8_t e = int8_t(next());
        format_address_operand((address + uint32_t(used) + uint32_t(e)) & 0xFFFF);
    }
    // Register field r; under an index prefix H and L become IXH and IXL unless the
    // same instruction uses (IX+d), and (HL) becomes (IX+d).
    void reg(int r, bool plain_h_l = false)
    {
        if (index && r == 6)
            format_displacement(next());
        else if (index && (r == 4 || r == 5) && !plain_h_l)
            put(r == 4 ? (index == 'X' ? "IXH" : "IYH") : (index == 'X' ? "IXL" : "IYL"));
        else
            put(reg8[r]);
    }

    // A prefix that changes nothing: the line holds the prefix byte alone and the next
    // line decodes from the byte after it.
    void lone_prefix(uint8_t prefix)
    {
        out.length = 0;
        put("DEFB  ");
        out.put_hex(prefix, 2);
        put(" ?");
        used = 1;
    }
};

void decode_x0(Decoder& d, int y, int z, int p, int q)
{
    switch (z) {
    case 0:
        if (y == 0) d.put("NOP");
        else if (y == 1) d.put("EX    AF,AF'");
        else {
            d.put(y == 2 ? "DJNZ  " : "JR    ");
            if (y >= 4) d.put(condition_comma[y - 4]);
            d.relative_target();
        }
        break;
    case 1:
        if (q == 0) {
            d.put("LD    "), d.put(d.rp(p)), d.put(","), d.nn();
        } else {
            d.put("ADD   "), d.put(d.hl()), d.put(","), d.put(d.rp(p));
        }
        break;
    case 2:
        d.put("LD    ");
        if (y < 4) d.put(ld_a_indirect[y]);
        else if (y == 4) d.put("("), d.nn(), d.put("),"), d.put(d.hl());
        else if (y == 5) d.put(d.hl()), d.put(",("), d.nn(), d.put(")");
        else if (y == 6) d.put("("), d.nn(), d.put("),A");
        else d.put("A,("), d.nn(), d.put(")");
        break;
    case 3: d.put(q ? "DEC   " : "INC   "), d.put(d.rp(p)); break;
    case 4: d.put("INC   "), d.reg(y); break;
    case 5: d.put("DEC   "), d.reg(y); break;
    case 6: d.put("LD    "), d.reg(y), d.put(","), d.n(); break;
    default: d.put(accumulator_ops[y]); break;
    }
}

void decode_x3(Decoder& d, int y, int z, int p, int q)
{
    switch (z) {
    case 0: d.put("RET   "), d.put(condition[y]); break;
    case 1:
        if (q == 0) d.put("POP   "), d.put(d.rp2(p));
        else if (p == 0) d.put("RET");
        else if (p == 1) d.put("EXX");
        else if (p == 2) d.put("JP    ("), d.put(d.hl()), d.put(")");
        else d.put("LD    SP,"), d.put(d.hl());
        break;
    case 2: d.put("JP    "), d.put(condition_comma[y]), d.nn(); break;
    case 3:
        switch (y) {
        case 0: d.put("JP    "), d.nn(); break;
        case 2: d.put("OUT   ("), d.n(), d.put("),A"); break;
        case 3: d.put("IN    A,("), d.n(), d.put(")"); break;
        case 4: d.put("EX    (SP),"), d.put(d.hl()); break;
        case 5: d.put("EX    DE,HL"); break;
        case 6: d.put("DI"); break;
        case 7: d.put("EI"); break;
        }
        break;
    case 4: d.put("CALL  "), d.put(condition_comma[y]), d.nn(); break;
    case 5:
        if (q == 0) d.put("PUSH  "), d.put(d.rp2(p));
        else d.put("CALL  "), d.nn();  // p = 0; the other three are prefixes
        break;
    case 6: d.put(arithmetic[y]), d.n(); break;
    default: d.put("RST   "), d.put(d.hex() ? rst_hex[y] : rst_decimal[y]); break;
    }
}

void decode_unprefixed(Decoder& d, uint8_t op)
{
    const int x = op >> 6, y = (op >> 3) & 7, z = op & 7, p = y >> 1, q = y & 1;
    switch (x) {
    case 0: decode_x0(d, y, z, p, q); break;
    case 1:
        if (op == 0x76) {
            d.put("HALT");
        } else {
            // H and L stay themselves beside (IX+d): LD H,(IX+d), LD (IX+d),L.
            const bool plain_h_l = y == 6 || z == 6;
            d.put("LD    "), d.reg(y, plain_h_l), d.put(","), d.reg(z, plain_h_l);
        }
        break;
    case 2:
        // The processor ignores an index prefix before arithmetic on B, C, D, E or A.
        if (d.index && (z < 4 || z == 7)) d.lone_prefix(d.bytes[0]);
        else d.put(arithmetic[y]), d.reg(z);
        break;
    default: decode_x3(d, y, z, p, q); break;
    }
}

void decode_cb(Decoder& d)
{
    // Under an index prefix the displacement comes before the opcode, and every
    // form works on (IX+d).
    const uint8_t displacement = d.index ? d.next() : 0;
    const uint8_t op = d.next();
    const int x = op >> 6, y = (op >> 3) & 7, z = op & 7;
    if (x == 0) d.put(rotate[y]);
    else d.put(bit_ops[x]), d.put(bit_number[y]), d.put(",");
    if (d.index) d.format_displacement(displacement);
    else d.put(reg8[z]);
}

void decode_ed(Decoder& d)
{
    const uint8_t op = d.next();
    const int x = op >> 6, y = (op >> 3) & 7, z = op & 7, p = y >> 1, q = y & 1;
    if (x == 1) {
        switch (z) {
        case 0: d.put("IN    "), d.put(reg8[y]), d.put(",(C)"); break;
        case 1: d.put("OUT   (C),"), d.put(reg8[y]); break;
        case 2: d.put(q ? "ADC   HL," : "SBC   HL,"), d.put(pair_sp[p]); break;
        case 3:
            if (q == 0) d.put("LD    ("), d.nn(), d.put("),"), d.put(pair_sp[p]);
            else d.put("LD    "), d.put(pair_sp[p]), d.put(",("), d.nn(), d.put(")");
            break;
        case 4: d.put("NEG"); break;
        case 5: d.put(q ? "RETI" : "RETN"); break;
        case 6: d.put(ed_interrupt_mode[y]); break;
        default: d.put(ed_z7[y]); break;
        }
    } else if (x == 2) {
        d.put(block_stem[z]), d.put(block_suffix[y]);
    } else if (op == 0xFD || op == 0xFE) {
        d.lone_prefix(0xED);  // the processor runs ED alone and the next byte afresh
    } else {
        d.put("*");  // an eight-T-state no-operation of both bytes
    }
}

void decode(const uint8_t (&bytes)[4], uint32_t address, const DisasmStyle& style, Instruction& out)
{
    Decoder d{bytes, 0, address, &style, 0, TextBuffer{out.mnemonic, mnemonic_size, 0}};
    uint8_t op = d.next();
    const bool index_prefix = op == 0xDD || op == 0xFD;
    if (index_prefix && (bytes[1] == 0xDD || bytes[1] == 0xFD || bytes[1] == 0xED)) {
        d.lone_prefix(op);  // before another prefix the processor drops this one
    } else {
        if (index_prefix) d.index = op == 0xDD ? 'X' : 'Y', op = d.next();
        if (op == 0xCB) decode_cb(d);
        else if (op == 0xED) decode_ed(d);
        else decode_unprefixed(d, op);
    }
    d.out.finish();
    out.address = address;
    out.length = d.used;
    for (int i = 0; i < 4; ++i) out.byte_slot[i] = i < d.used ? bytes[i] : -1;
}

}  // namespace

void decode_instruction(const uint8_t* image, uint32_t address, const DisasmStyle& style,
                        Instruction& out)
{
    uint8_t bytes[4];
    for (uint32_t i = 0; i < 4; ++i) bytes[i] = address + i < 0x10000 ? image[address + i] : 0;
    decode(bytes, address, style, out);
}

void decode_instruction(MemoryReader peek, uint32_t address, const DisasmStyle& style,
                        Instruction& out)
{
    uint8_t bytes[4];
    for (uint32_t i = 0; i < 4; ++i) bytes[i] = address + i < 0x10000 ? peek(uint16_t(address + i)) : 0;
    decode(bytes, address, style, out);
}

int format_line(const Instruction& in, bool decimal_address, char* out)
{
    TextBuffer line{out, line_size, 0};
    if (decimal_address) line.put_decimal(in.address);
    else line.put_hex(in.address, in.address > 0xFFFF ? 8 : 4);
    line.put("  ");
    for (int32_t b : in.byte_slot) {
        if (b < 0) line.put("  ");
        else line.put_hex(uint32_t(b), 2);
    }
    line.put(' ');
    line.put(in.mnemonic);
    line.finish();
    return line.length;
}
