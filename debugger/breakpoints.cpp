#include "debugger/breakpoints.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "bus.h"
#include "core/frame_loop.h"
#include "core/host.h"
#include "core/machine_state.h"
#include "core/z80_step.h"
#include "debugger/debugger.h"
#include "debugger/pc_log.h"
#include "shell/errors.h"

Breakpoint breakpoints[max_breakpoints];
int breakpoint_count;
bool debug_active;

uint8_t watch_memory;
uint8_t watch_ports;
uint8_t breakpoint_map[65536];
uint8_t debugger_pending;

namespace {

// ---- conditions, compiled to a postfix program ----

enum CondCode : uint8_t {
    op_number, op_register, op_memory, op_memory_hl, op_memory_ix, op_memory_iy, op_tstates, op_frames,
    op_equal, op_not_equal, op_less, op_greater, op_less_equal, op_greater_equal, op_and, op_or,
};
struct CondOp {
    CondCode code;
    int64_t value;  // the number, register, address or displacement
};
constexpr int max_condition_ops = 40;
struct Condition {
    int length;  // 0: none, the breakpoint always fires
    CondOp ops[max_condition_ops];
};
Condition conditions[max_breakpoints];

const char* const register_names[] = {"A", "F", "B", "C", "D", "E", "H", "L", "I", "R", "AF", "BC", "DE",
                                      "HL", "IX", "IY", "SP", "PC", "AF'", "BC'", "DE'", "HL'"};
constexpr int register_name_count = sizeof register_names / sizeof register_names[0];

int64_t register_value(int64_t id)
{
    switch (id) {
    case 0: return z80.af.hi;
    case 1: return z80.af.lo;
    case 2: return z80.bc.hi;
    case 3: return z80.bc.lo;
    case 4: return z80.de.hi;
    case 5: return z80.de.lo;
    case 6: return z80.hl.hi;
    case 7: return z80.hl.lo;
    case 8: return z80.i;
    case 9: return r_register();
    case 10: return z80.af.w;
    case 11: return z80.bc.w;
    case 12: return z80.de.w;
    case 13: return z80.hl.w;
    case 14: return z80.ix.w;
    case 15: return z80.iy.w;
    case 16: return z80.sp;
    case 17: return z80.pc;
    case 18: return z80.af_alt.w;
    case 19: return z80.bc_alt.w;
    case 20: return z80.de_alt.w;
    default: return z80.hl_alt.w;
    }
}

// A recursive-descent reader of
//   condition  := conjunction { OR conjunction }
//   conjunction := term { AND term }
//   term       := "(" condition ")" | value compare value
//   value      := number | register | TSTATES | FRAMES | "(" number ")" | "(HL)" | "(IX+d)" | "(IY-d)"
// Names are case-insensitive; numbers are #hex, $hex or decimal.
struct ConditionReader {
    const char* p;
    Condition& out;
    std::string error;

    void skip_spaces()
    {
        while (*p == ' ' || *p == '\t') ++p;
    }
    bool fail(const std::string& what)
    {
        if (error.empty()) error = what;
        return false;
    }
    std::string here() const { return *p ? "'" + std::string(p) + "'" : "the end"; }
    bool emit(CondCode code, int64_t value = 0)
    {
        if (out.length == max_condition_ops) return fail("condition too long");
        out.ops[out.length++] = {code, value};
        return true;
    }
    bool take(char c)
    {
        skip_spaces();
        if (*p != c) return false;
        ++p;
        return true;
    }
    // A name: letters and digits, and the apostrophe of the alternate registers.
    std::string name()
    {
        skip_spaces();
        std::string n;
        while (std::isalnum(uint8_t(*p)) || *p == '_') n += char(std::toupper(uint8_t(*p++)));
        if (!n.empty() && *p == '\'') n += *p++;
        return n;
    }
    bool is_keyword(const char* word)
    {
        skip_spaces();
        const size_t n = std::strlen(word);
        for (size_t k = 0; k < n; ++k)
            if (std::toupper(uint8_t(p[k])) != word[k]) return false;
        if (std::isalnum(uint8_t(p[n])) || p[n] == '_') return false;
        p += n;
        return true;
    }
    bool starts_number() const { return *p == '#' || *p == '$' || std::isdigit(uint8_t(*p)); }
    bool number(int64_t& value)
    {
        skip_spaces();
        const char* start = p;
        const int base = (*p == '#' || *p == '$') ? 16 : 10;
        if (base == 16) ++p;
        int digits = 0;
        value = 0;
        for (; base == 16 ? std::isxdigit(uint8_t(*p)) : std::isdigit(uint8_t(*p)); ++p, ++digits) {
            value = value * base + (std::isdigit(uint8_t(*p)) ? *p - '0' : std::toupper(uint8_t(*p)) - 'A' + 10);
            if (value > 0xFFFFFFFFll) return fail("number too large at '" + std::string(start) + "'");
        }
        if (digits == 0) return fail("expected hexadecimal digits at '" + std::string(start) + "'");
        return true;
    }
    // "(number)", "(HL)", "(IX+d)", "(IY-d)" after the "(": false, without an error,
    // when the parenthesis is not one of these (it may group a condition).
    bool memory_value()
    {
        const char* const start = p;
        skip_spaces();
        if (starts_number()) {
            int64_t address = 0;
            if (number(address) && take(')')) return emit(op_memory, address & 0xFFFF);
        } else {
            const std::string n = name();
            if (n == "HL" && take(')')) return emit(op_memory_hl);
            if (n == "IX" || n == "IY") {
                const CondCode code = n == "IX" ? op_memory_ix : op_memory_iy;
                int64_t d = 0;
                skip_spaces();
                const char sign = *p;
                if (sign != '+' && sign != '-') {
                    if (take(')')) return emit(code, 0);
                } else {  // certainly an indexed byte from here
                    ++p;
                    if (number(d) && take(')')) return emit(code, sign == '-' ? -d : d);
                    error.clear();
                    return fail("expected (" + n + "+d) with a number d at " + here());
                }
            }
        }
        p = start;
        error.clear();
        return false;
    }
    bool value()
    {
        skip_spaces();
        if (starts_number()) {
            int64_t v = 0;
            return number(v) && emit(op_number, v);
        }
        if (*p == '(') {
            ++p;
            if (memory_value()) return true;
            if (!error.empty()) return false;
            return fail("expected (address), (HL), (IX+d) or (IY+d) at '(" + std::string(p) + "'");
        }
        const char* start = p;
        const std::string n = name();
        if (n.empty()) return fail("expected a number, register, (address), TSTATES or FRAMES at " + here());
        if (n == "TSTATES") return emit(op_tstates);
        if (n == "FRAMES") return emit(op_frames);
        for (int k = 0; k < register_name_count; ++k)
            if (n == register_names[k]) return emit(op_register, k);
        p = start;
        return fail("unknown register '" + n + "'");
    }
    bool compare_operator(CondCode& code)
    {
        skip_spaces();
        static const struct {
            const char* text;
            CondCode code;
        } operators[] = {{"<>", op_not_equal}, {"<=", op_less_equal}, {">=", op_greater_equal},
                         {"=", op_equal},      {"<", op_less},        {">", op_greater}};
        for (const auto& o : operators)
            if (std::strncmp(p, o.text, std::strlen(o.text)) == 0) {
                p += std::strlen(o.text);
                code = o.code;
                return true;
            }
        return fail("expected =, <>, <, >, <= or >= at " + here());
    }
    bool term()
    {
        skip_spaces();
        if (*p == '(') {
            const char* const start = p++;
            if (!memory_value()) {  // a parenthesised condition
                if (!error.empty() || !condition()) return false;
                if (!take(')')) return fail("expected ')' at " + here());
                return true;
            }
            p = start;  // a memory byte: read it again as the comparison's first value
            out.length--;
        }
        CondCode code = op_equal;
        return value() && compare_operator(code) && value() && emit(code);
    }
    bool conjunction()
    {
        if (!term()) return false;
        while (is_keyword("AND"))
            if (!term() || !emit(op_and)) return false;
        return true;
    }
    bool condition()
    {
        if (!conjunction()) return false;
        while (is_keyword("OR"))
            if (!conjunction() || !emit(op_or)) return false;
        return true;
    }
    bool read_all()
    {
        out.length = 0;
        skip_spaces();
        if (!*p) return true;  // no condition
        if (!condition()) return false;
        skip_spaces();
        if (*p) return fail(std::string(*p == ')' ? "unmatched ')'" : "expected AND or OR") + " at " + here());
        return true;
    }
};

bool compile_condition(const char* text, Condition& out, std::string& message)
{
    ConditionReader reader{text ? text : "", out, ""};
    if (reader.read_all()) return true;
    message = "condition: " + reader.error;
    out.length = 0;
    return false;
}

// Runs the compiled program; no allocation, a fixed stack.
bool condition_holds(const Condition& c)
{
    if (c.length == 0) return true;
    int64_t stack[max_condition_ops];
    int top = 0;
    for (int k = 0; k < c.length; ++k) {
        const CondOp& op = c.ops[k];
        int64_t v = 0;
        switch (op.code) {
        case op_number: v = op.value; break;
        case op_register: v = register_value(op.value); break;
        case op_memory: v = peek_byte(uint16_t(op.value)); break;
        case op_memory_hl: v = peek_byte(z80.hl.w); break;
        case op_memory_ix: v = peek_byte(uint16_t(z80.ix.w + op.value)); break;
        case op_memory_iy: v = peek_byte(uint16_t(z80.iy.w + op.value)); break;
        case op_tstates: v = tstates; break;
        case op_frames: v = frames_run; break;
        default: {
            const int64_t b = stack[--top], a = stack[--top];
            switch (op.code) {
            case op_equal: v = a == b; break;
            case op_not_equal: v = a != b; break;
            case op_less: v = a < b; break;
            case op_greater: v = a > b; break;
            case op_less_equal: v = a <= b; break;
            case op_greater_equal: v = a >= b; break;
            case op_and: v = a && b; break;
            default: v = a || b; break;
            }
        }
        }
        stack[top++] = v;
    }
    return stack[0] != 0;
}

// ---- the table's lookups ----

// Per address: which kinds of breakpoint cover it.
enum MapBit : uint8_t { map_read = watch_read, map_write = watch_write, map_execute = break_map_execute };
bool watched[max_breakpoints];  // a watched access of this entry happened in the instruction
constexpr uint8_t pending_log = 1, pending_watch = 2;
uint16_t last_checked_pc = 0xFFFF;

bool port_run_armed, port_run_out, port_run_found;
uint32_t port_run_port;

bool port_matches(uint32_t wanted, bool full, uint16_t port)
{
    return full ? port == wanted : uint8_t(port) == uint8_t(wanted);
}

void rebuild_maps()
{
    std::memset(breakpoint_map, 0, sizeof breakpoint_map);
    uint8_t memory = 0, ports = 0;
    for (int i = 0; i < breakpoint_count; ++i) {
        const Breakpoint& b = breakpoints[i];
        switch (b.kind) {
        case break_execute: breakpoint_map[b.first] |= map_execute; break;
        case break_read:
        case break_write: {
            const uint8_t bit = b.kind == break_read ? map_read : map_write;
            for (uint32_t a = b.first; a <= b.last; ++a) breakpoint_map[a] |= bit;
            memory |= bit;
            break;
        }
        default: ports = 1;
        }
    }
    watch_memory = memory;
    watch_ports = ports || port_run_armed;
    update_instruction_duties();
}

bool fire(int index)
{
    ++breakpoints[index].hits;
    centre_on_pc = true;
    if (!(debugger_run_active && !report_hits_in_runs) && !host_breakpoint_hit(index)) return debugger_run_active;
    frame_stop_requested = true;
    return true;
}

bool check_breakpoints()
{
    const uint16_t pc = z80.pc;
    bool stop = false;
    // A HALT repeating at the same PC is not PC arriving again.
    if ((breakpoint_map[pc] & map_execute) && !(z80.halted && pc == last_checked_pc))
        for (int i = 0; i < breakpoint_count && !stop; ++i)
            if (breakpoints[i].kind == break_execute && breakpoints[i].first == pc && condition_holds(conditions[i]))
                stop = fire(i);
    if (breakpoint_map[pc] & map_execute) last_checked_pc = pc;
    if (!(debugger_pending & pending_watch)) return stop;
    debugger_pending &= ~pending_watch;
    for (int i = 0; i < breakpoint_count; ++i) {
        if (!watched[i]) continue;
        watched[i] = false;
        if (!stop && condition_holds(conditions[i])) stop = fire(i);
    }
    return stop;
}

// ---- address text ----

// The Add dialog's number: "#" or "$" then hexadecimal, or a leading digit and
// decimal; reads as far as the digits go. False when no digit comes.
bool read_address(const char*& p, uint32_t& value)
{
    while (*p == ' ') ++p;
    const int base = (*p == '#' || *p == '$') ? 16 : 10;
    const char* q = p + (base == 16);
    if (!(base == 16 ? std::isxdigit(uint8_t(*q)) : std::isdigit(uint8_t(*q)))) return false;
    uint64_t v = 0;
    for (; base == 16 ? std::isxdigit(uint8_t(*q)) : std::isdigit(uint8_t(*q)); ++q)
        if ((v = v * base + (std::isdigit(uint8_t(*q)) ? *q - '0' : std::toupper(uint8_t(*q)) - 'A' + 10)) > 0xFFFFFFFFu)
            v = 0xFFFFFFFFu + 1ull;  // stays out of range
    value = v > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(v);
    p = q;
    return true;
}

// Reads "ADDR" or, for reads and writes, "ADDR-ADDR". False: ignored (out of range
// or not a number); rest points after what was read.
bool read_range(BreakKind kind, const char* text, uint32_t& first, uint32_t& last, const char*& rest)
{
    const char* p = text;
    if (!read_address(p, first) || first > 0xFFFF) return false;
    last = first;
    const char* q = p;
    while (*q == ' ') ++q;
    if ((kind == break_read || kind == break_write) && *q == '-') {
        ++q;
        if (!read_address(q, last) || last > 0xFFFF || last < first) return false;
        p = q;
    }
    rest = p;
    return true;
}

bool add_entry(BreakKind kind, uint32_t first, uint32_t last, const char* condition_text, std::string& message)
{
    Condition compiled;
    if (!compile_condition(condition_text, compiled, message)) return false;
    if (breakpoint_count >= max_breakpoints) {
        report_error(7);
        message = "only 256 breakpoints allowed";
        return false;
    }
    Breakpoint& b = breakpoints[breakpoint_count];
    b.kind = kind;
    b.first = uint16_t(first);
    b.last = uint16_t(last);
    b.full_port = (kind == break_port_in || kind == break_port_out) && first > 0xFF;
    b.condition = condition_text ? condition_text : "";
    b.hits = 0;
    conditions[breakpoint_count] = compiled;
    watched[breakpoint_count] = false;
    ++breakpoint_count;
    debug_active = true;
    rebuild_maps();
    return true;
}

}  // namespace

// ---- the table ----

bool add_breakpoint(BreakKind kind, const char* address_text, const char* condition_text, std::string& message)
{
    message.clear();
    uint32_t first = 0, last = 0;
    const char* rest = nullptr;
    if (!read_range(kind, address_text ? address_text : "", first, last, rest)) return false;
    return add_entry(kind, first, last, condition_text, message);
}

bool update_breakpoint(int index, const char* condition_text, std::string& message)
{
    message.clear();
    if (index < 0 || index >= breakpoint_count) return false;
    Condition compiled;
    if (!compile_condition(condition_text, compiled, message)) return false;
    conditions[index] = compiled;
    breakpoints[index].condition = condition_text ? condition_text : "";
    return true;
}

bool check_condition(const char* condition_text, std::string& message)
{
    Condition compiled;
    return compile_condition(condition_text, compiled, message);
}

void delete_breakpoint(int index)
{
    if (index < 0 || index >= breakpoint_count) return;
    for (int i = index; i + 1 < breakpoint_count; ++i) {
        breakpoints[i] = breakpoints[i + 1];
        conditions[i] = conditions[i + 1];
        watched[i] = watched[i + 1];
    }
    --breakpoint_count;
    breakpoints[breakpoint_count] = Breakpoint{};
    conditions[breakpoint_count].length = 0;
    watched[breakpoint_count] = false;
    rebuild_maps();
}

void clear_breakpoints()
{
    for (int i = 0; i < breakpoint_count; ++i) {
        breakpoints[i] = Breakpoint{};
        conditions[i].length = 0;
        watched[i] = false;
    }
    breakpoint_count = 0;
    debugger_pending &= ~pending_watch;
    rebuild_maps();
}

namespace {

struct SpecParts {
    BreakKind kind = break_execute;
    uint32_t first = 0, last = 0;
    const char* condition = "";
};

bool read_spec(const std::string& spec, SpecParts& parts, std::string& message)
{
    static const struct {
        const char* word;
        BreakKind kind;
    } kinds[] = {{"read", break_read}, {"write", break_write}, {"in", break_port_in}, {"out", break_port_out}};
    const char* p = spec.c_str();
    while (*p == ' ') ++p;
    for (const auto& k : kinds) {
        const size_t n = std::strlen(k.word);
        if (std::strncmp(p, k.word, n) == 0 && p[n] == ' ') {
            parts.kind = k.kind;
            p += n;
            break;
        }
    }
    const BreakKind kind = parts.kind;
    const char* rest = nullptr;
    if (!read_range(kind, p, parts.first, parts.last, rest)) {
        message = "bad breakpoint '" + spec + "': expected " +
                  (kind == break_execute                           ? "an address"
                   : kind == break_read || kind == break_write ? "an address or a range ADDR-ADDR"
                                                                   : "a port") +
                  " from 0 to 65535 (#hex, $hex or decimal)";
        return false;
    }
    while (*rest == ' ') ++rest;
    if (kind == break_execute && std::strncmp(rest, "if", 2) == 0 && (rest[2] == ' ' || rest[2] == '(')) {
        parts.condition = rest + 2;
        while (*parts.condition == ' ') ++parts.condition;
        if (!*parts.condition) {
            message = "bad breakpoint '" + spec + "': nothing after 'if'";
            return false;
        }
    } else if (*rest) {
        message = "bad breakpoint '" + spec + "': unexpected '" + rest + "'";
        return false;
    }
    Condition compiled;
    if (compile_condition(parts.condition, compiled, message)) return true;
    message = "bad breakpoint '" + spec + "': " + message;
    return false;
}

}  // namespace

bool check_breakpoint_spec(const std::string& spec, std::string& message)
{
    SpecParts parts;
    return read_spec(spec, parts, message);
}

bool add_breakpoint_spec(const std::string& spec, std::string& message)
{
    SpecParts parts;
    return read_spec(spec, parts, message) && add_entry(parts.kind, parts.first, parts.last, parts.condition, message);
}

std::string breakpoint_condition_text(int index)
{
    if (index < 0 || index >= breakpoint_count) return "";
    const Breakpoint& b = breakpoints[index];
    const std::string hits = "hits: " + std::to_string(b.hits);
    return b.condition.empty() ? hits : b.condition + "   " + hits;
}

std::string breakpoint_address_text(int index)
{
    if (index < 0 || index >= breakpoint_count) return "";
    const Breakpoint& b = breakpoints[index];
    char text[32];
    switch (b.kind) {
    case break_execute: std::snprintf(text, sizeof text, "%04X", b.first); break;
    case break_read:
    case break_write:
        if (b.first == b.last) std::snprintf(text, sizeof text, "%04X %s", b.first, b.kind == break_read ? "read" : "write");
        else std::snprintf(text, sizeof text, "%04X-%04X %s", b.first, b.last, b.kind == break_read ? "read" : "write");
        break;
    default:
        std::snprintf(text, sizeof text, b.full_port ? "%04X %s" : "%02X %s", b.first,
                      b.kind == break_port_in ? "in" : "out");
    }
    return text;
}

// ---- the hooks ----

void update_instruction_duties()
{
    const bool logging = pc_logging || pc_log_one_frame;
    per_instruction_duties = breakpoint_count > 0 || logging || port_run_armed;
    z80_dispatch = per_instruction_duties ? z80_duties_dispatch : z80_main_table.data();
    debugger_pending = uint8_t((debugger_pending & ~pending_log) | (logging ? pending_log : 0));
    bool high_breakpoint = false;  // a HALT repeat at the same PC never fires, so only these bar the runs
    for (int i = 0; i < breakpoint_count; ++i)
        high_breakpoint |= breakpoints[i].kind == break_execute && breakpoints[i].first >= 0x8000;
    fetch_runs_barred = logging || high_breakpoint;
}

bool debugger_after_instruction()
{
    if (pc_logging || pc_log_one_frame) log_instruction();
    if (breakpoint_count > 0 && check_breakpoints()) return true;
    if (!port_run_found) return false;
    frame_stop_requested = true;  // the port run's IN or OUT has happened
    return true;
}

void note_memory_access(uint16_t address, WatchKind kind)
{
    if (!(breakpoint_map[address] & kind)) return;
    const BreakKind wanted = kind == watch_read ? break_read : break_write;
    for (int i = 0; i < breakpoint_count; ++i) {
        const Breakpoint& b = breakpoints[i];
        if (b.kind == wanted && address >= b.first && address <= b.last) {
            watched[i] = true;
            debugger_pending |= pending_watch;
        }
    }
}

void note_port_access(uint16_t port, bool out)
{
    if (port_run_armed && port_run_out == out && port_matches(port_run_port, port_run_port > 0xFF, port)) {
        port_run_found = true;
        debugger_pending |= pending_watch;
    }
    const BreakKind wanted = out ? break_port_out : break_port_in;
    for (int i = 0; i < breakpoint_count; ++i) {
        const Breakpoint& b = breakpoints[i];
        if (b.kind == wanted && port_matches(b.first, b.full_port, port)) {
            watched[i] = true;
            debugger_pending |= pending_watch;
        }
    }
}

void discard_watch_hits()
{
    if (!(debugger_pending & pending_watch)) return;
    debugger_pending &= ~pending_watch;
    std::memset(watched, 0, sizeof watched);
}

void arm_port_run(bool out, uint32_t port)
{
    port_run_armed = true;
    port_run_out = out;
    port_run_port = port;
    port_run_found = false;
    rebuild_maps();
}

bool port_run_hit() { return port_run_found; }

void disarm_port_run()
{
    port_run_armed = port_run_found = false;
    discard_watch_hits();
    rebuild_maps();
}
