#include "debugger/rom_labels.h"

const RomLabel rom_labels[rom_label_count] = {
    {"START", 0x0000}, {"ERROR-1", 0x0008}, {"PRINT-A", 0x0010}, {"GET-CH", 0x0018},
    {"NEXT-CH", 0x0020}, {"FP-CALC", 0x0028}, {"END-CALC", 0x002B}, {"BC-SPACES", 0x0030},
    {"INTERRUPT", 0x0030}, {"CH-ADD+1", 0x0049}, {"ERROR-2", 0x0056}, {"NMI", 0x0066},
    {"NMI-CONT", 0x006F}, {"LOAD/SAVE", 0x01FC}, {"SLOW/FAST", 0x0207}, {"KEYBOARD", 0x02BB},
    {"SET-FAST", 0x02E7}, {"REPORT-F", 0x02F4}, {"SAVE", 0x02F6}, {"LOAD", 0x0340},
    {"REPORT-D", 0x03A6}, {"NAME", 0x03A8}, {"NEW", 0x03C3}, {"RAM-CHECK", 0x03CB},
    {"INITIAL", 0x03E5}, {"UPPER", 0x0419}, {"KEY-INPUT", 0x0464}, {"EDIT-INP", 0x046F},
    {"ADD-CHAR", 0x0526}, {"K/L-KEY", 0x052B}, {"KEY-SORT", 0x052D}, {"CURSOR", 0x0537},
    {"CLEAR-ONE", 0x055C}, {"LEFT-KEY", 0x0576}, {"RIGHT-KEY", 0x057F}, {"RUBOUT", 0x058B},
    {"LEFT-EDGE", 0x0593}, {"UP-KEY", 0x059F}, {"FUNCTION", 0x059F}, {"ZERO-DE", 0x05B7},
    {"LINE-NO", 0x05BB}, {"EDIT-KEY", 0x05C4}, {"N/L-KEY", 0x060C}, {"LLIST", 0x072C},
    {"LIST", 0x0730}, {"OUT-LINE", 0x0745}, {"NUMBER", 0x07B4}, {"DECODE", 0x07BD},
    {"LEAD-SP", 0x07DC}, {"PRINT-CH", 0x07F1}, {"PRINT-SP", 0x07F5}, {"ENTER-CH", 0x0808},
    {"REPORT-5", 0x0835}, {"EXPAND-1", 0x083A}, {"WRITE-CH", 0x083E}, {"WRITE-N/L", 0x0847},
    {"LPRINT-CH", 0x0851}, {"COPY", 0x0869}, {"CLEAR-PRB", 0x08E2}, {"PRINT-AT", 0x08F5},
    {"LOC-ADDR", 0x0918}, {"TOKENS", 0x094B}, {"ONE-SPACE", 0x099B}, {"MAKE-ROOM", 0x099E},
    {"POINTERS", 0x09AD}, {"LINE-ADDR", 0x09D8}, {"CP-LINES", 0x09EA}, {"NEXT-ONE", 0x09F2},
    {"DIFFER", 0x0A17}, {"LINE-ENDS", 0x0A1F}, {"CLS", 0x0A2A}, {"RECLAIM-1", 0x0A5D},
    {"RECLAIM-2", 0x0A60}, {"OUT-NUM", 0x0A98}, {"UNSTACK-Z", 0x0AC5}, {"LPRINT", 0x0ACB},
    {"PRINT", 0x0ACF}, {"NOT-AT", 0x0AFA}, {"PLOT/UNP", 0x0BAF}, {"STK-TO-BC", 0x0BF5},
    {"STK-TO-A", 0x0C02}, {"SCROLL", 0x0C0E}, {"LINE-SCAN", 0x0CBA}, {"STOP", 0x0CDC},
    {"CHECK-END", 0x0D1D}, {"REPORT-C2", 0x0D26}, {"CLASS-3", 0x0D28}, {"CLASS-0", 0x0D2D},
    {"CLASS-5", 0x0D2E}, {"CLASS-1", 0x0D3C}, {"REM", 0x0D6A}, {"CLASS-2", 0x0D6B},
    {"CLASS-4", 0x0D85}, {"CLASS-6", 0x0D92}, {"REPORT-C", 0x0D92}, {"NO-TO-STK", 0x0D9C},
    {"SYNTAX-Z", 0x0DA6}, {"IF", 0x0DAB}, {"FOR", 0x0DB9}, {"NEXT", 0x0E2E}, {"REPORT-1", 0x0E58},
    {"RAND", 0x0E6C}, {"SET-SEED", 0x0E77}, {"CONT", 0x0E7C}, {"GOTO", 0x0E81}, {"POKE", 0x0E92},
    {"FIND-INT", 0x0EA7}, {"REPORT-B", 0x0EAD}, {"RUN", 0x0EAF}, {"GOSUB", 0x0EB5},
    {"TEST-ROOM", 0x0EC5}, {"REPORT-4", 0x0ED3}, {"RETURN", 0x0ED8}, {"INPUT", 0x0EE9},
    {"REPORT-8", 0x0F21}, {"FAST", 0x0F23}, {"SLOW", 0x0F2B}, {"PAUSE", 0x0F32}, {"BREAK", 0x0F46},
    {"D-BOUNCE", 0x0F4B}, {"SCANNING", 0x0F55}, {"LOOK-VARS", 0x111C}, {"STK-VAR", 0x11A7},
    {"SLICING", 0x1263}, {"STK-STORE", 0x12C3}, {"INT-EXP1", 0x12DD}, {"INT-EXP2", 0x12DE},
    {"DE,(DE+1)", 0x12FF}, {"HL=HL*DE", 0x1305}, {"LET", 0x1321}, {"STK-FETCH", 0x13F8},
    {"DIM", 0x1409}, {"RESERVE", 0x1488}, {"CLEAR", 0x149A}, {"X-TEMP", 0x14A3},
    {"SET-STK-B", 0x14A6}, {"CURSOR-IN", 0x14AD}, {"SET-MEM", 0x14BC}, {"RECLAIM-3", 0x14C7},
    {"ALPHA", 0x14CE}, {"ALPHANUM", 0x14D2}, {"DEC-TO-FP", 0x14D9}, {"NXT-DGT-1", 0x14E5},
    {"E-FORMAT", 0x14F5}, {"SIGN-DONE", 0x1508}, {"ST-E-PART", 0x1509}, {"E-FP", 0x1511},
    {"STK-DIGIT", 0x1514}, {"STACK-A", 0x151D}, {"STACK-BC", 0x1520}, {"INT-TO-FP", 0x1548},
    {"E-TO-FP", 0x155A}, {"FP-TO-BC", 0x158A}, {"FP-TO-A", 0x15CD}, {"PRINT-FP", 0x15DB},
    {"TEST-INT", 0x16C2}, {"TEST-DONE", 0x16C8}, {"OUT-NEXT", 0x16D0}, {"PREP-ADD", 0x16D8},
    {"FETCH-TWO", 0x16F7}, {"SHIFT-FP", 0x171A}, {"ADD-BACK", 0x1741}, {"SUBTRACT", 0x174C},
    {"ADDITION", 0x1755}, {"PREP-M/D", 0x17BC}, {"MULTIPLY", 0x17C6}, {"REPORT-6", 0x1880},
    {"DIVISION", 0x1882}, {"TRUNCATE", 0x18E4}, {"CALCULATE", 0x199D}, {"FP-CALC-2", 0x19E4},
    {"TEST-5-SP", 0x19EB}, {"MOVE-FP", 0x19F6}, {"STK-DATA", 0x19F6}, {"SKIP-CONS", 0x1A2D},
    {"LOC-MEM", 0x1A3C}, {"GET-MEM-0", 0x1A45}, {"STK-ZERO", 0x1A51}, {"STK-MEM-0", 0x1A63},
    {"EXCHANGE", 0x1A72}, {"SERIES-06", 0x1A7F}, {"NEGATE", 0x1AA0}, {"ABS", 0x1AAA},
    {"SGN", 0x1AAF}, {"PEEK", 0x1ABE}, {"USR", 0x1AC5}, {"GREATER-0", 0x1ACE}, {"NOT", 0x1AD5},
    {"LESS-0", 0x1ADB}, {"FP0/1", 0x1AE0}, {"OR", 0x1AED}, {"NO.-&-NO.", 0x1AF3},
    {"STR-&-NO.", 0x1AF8}, {"NO.-L-EQL", 0x1B03}, {"STR$-ADD", 0x1B62}, {"STK-PNTRS", 0x1B85},
    {"CHRS", 0x1B8F}, {"REPORT-B2", 0x1BA2}, {"VAL", 0x1BA4}, {"STRS", 0x1BD5}, {"CODE", 0x1C06},
    {"LEN", 0x1C11}, {"DEC-JR-NZ", 0x1C17}, {"JUMP", 0x1C23}, {"JUMP-TRUE", 0x1C2F},
    {"N-MOD-M", 0x1C37}, {"INT", 0x1C46}, {"EXP", 0x1C5B}, {"LN", 0x1CA9}, {"GET-ARGT", 0x1D18},
    {"COS", 0x1D3E}, {"SIN", 0x1D49}, {"TAN", 0x1D6E}, {"ATN", 0x1D76}, {"ASN", 0x1DC4},
    {"ACS", 0x1DD4}, {"SQR", 0x1DDB}, {"TO-POWER", 0x1DE2},
};

const SystemVariable system_variables[system_variable_count] = {
    {"ERR_NR", 0x4000, 1}, {"FLAGS", 0x4001, 1},  {"ERR_SP", 0x4002, 2}, {"RAMTOP", 0x4004, 2},
    {"MODE", 0x4006, 1},   {"PPC", 0x4007, 2},    {"VERSN", 0x4009, 1},  {"E_PPC", 0x400A, 2},
    {"D_FILE", 0x400C, 2}, {"DF_CC", 0x400E, 2},  {"VARS", 0x4010, 2},   {"DEST", 0x4012, 2},
    {"E_LINE", 0x4014, 2}, {"CH_ADD", 0x4016, 2}, {"X_PTR", 0x4018, 2},  {"STKBOT", 0x401A, 2},
    {"STKEND", 0x401C, 2}, {"BERG", 0x401E, 1},   {"MEM", 0x401F, 2},    {"DF_SZ", 0x4022, 1},
    {"S_TOP", 0x4023, 2},  {"LAST_K", 0x4025, 2}, {"MARGIN", 0x4028, 1}, {"NXTLIN", 0x4029, 2},
    {"OLDPPC", 0x402B, 2}, {"FLAGX", 0x402D, 1},  {"STRLEN", 0x402E, 2}, {"T_ADDR", 0x4030, 2},
    {"SEED", 0x4032, 2},   {"FRAMES", 0x4034, 2}, {"COORDS", 0x4036, 2}, {"PR_CC", 0x4038, 1},
    {"S_POSN", 0x4039, 2}, {"CDFLAG", 0x403B, 1}, {"PRBUFF", 0x403C, 33}, {"MEMBOT", 0x405D, 30},
};

namespace {

// First row wins, so of two names for one address the earlier is shown.
template <typename Row, int count>
const char* first_name_at(const Row (&rows)[count], uint32_t address)
{
    for (const Row& row : rows)
        if (row.address == address) return row.name;
    return nullptr;
}

}  // namespace

const char* rom_label_at(uint32_t address) { return first_name_at(rom_labels, address); }
const char* system_variable_at(uint32_t address) { return first_name_at(system_variables, address); }
