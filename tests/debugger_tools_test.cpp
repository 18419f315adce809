// The debugger's texts and memory tools as a user of its windows and of wren81-cli
// sees them: the register pane, the panes and tabs, Find, the block tools, the
// stack tools and the memory editor.
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "debugger/debugger.h"
#include "debugger/debugger_text.h"
#include "debugger/disassemble_file.h"
#include "debugger/memory_tools.h"
#include "files/program_file.h"
#include "tests/cli_runner.h"
#include "tests/file_helpers.h"
#include "tests/machine_fixture.h"

namespace {

class DebuggerText : public MachineTest {
protected:
    uint8_t image[65536] = {};
};

TEST_F(DebuggerText, RegisterPaneShowsRegistersBytesFlagsAndGenerators)
{
    z80.pc = 0x4000, z80.sp = 0xFFFC;  // SP's 8 bytes wrap round to address 0
    z80.af.w = 0x12D7;                 // S Z H P N C and the two unused bits set
    z80.bc.w = 0x4000, z80.de.w = 0x0001, z80.hl.w = 0xBEEF, z80.ix.w = 0x4004, z80.iy.w = 0x4000;
    z80.af_alt.w = 0xFF00, z80.bc_alt.w = 0x0102, z80.de_alt.w = 0x0304, z80.hl_alt.w = 0x0506;
    z80.i = 0x1E, z80.r = 0x05, z80.r7 = 0x80, z80.im = 1, z80.iff1 = 0;
    nmi_generator_on = 1, hsync_generator_on = 0, tstates = 1234;
    const char hello[] = "HI\x01\x7F\x80 ok";
    std::memcpy(image + 0x4000, hello, 8);
    image[0xFFFC] = 0xAA, image[0] = 0x20;

    const std::vector<std::string> lines = register_pane_lines(image);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "PC  4000 48 49 01 7F 80 20 6F 6B  HI.\x7F. ok");
    EXPECT_EQ(lines[1], "SP  FFFC AA 00 00 00 20 00 00 00  .... ...");
    EXPECT_EQ(lines[2], "AF  12D7     S Z - H - P N C");
    EXPECT_EQ(lines[3], "BC  4000 48 49 01 7F 80 20 6F 6B  HI.\x7F. ok");
    EXPECT_EQ(lines[8], "AF' FF00     - - - - - - - -");
    EXPECT_EQ(lines[9], "BC' 0102 00 00 00 00 00 00 00 00  ........");
    EXPECT_EQ(lines[12], "IR  1E85 NMI Gen: 1 HSYNC Gen: 0");
    EXPECT_EQ(lines[13], "        IM 1 INTERRUPTS OFF TStates: 1234");

    // The window draws the pieces at their own x positions.
    const std::vector<RegisterPaneLine> parts = register_pane_parts(image);
    EXPECT_EQ(parts[2].left, "AF  12D7  ");
    EXPECT_EQ(parts[2].beside_x, register_flags_x);
    EXPECT_EQ(parts[5].left, "HL  BEEF ");
    EXPECT_EQ(parts[5].beside_x, register_bytes_x);
    EXPECT_EQ(parts[13].left, "");
    z80.iff1 = 1;
    EXPECT_EQ(register_pane_lines(image)[13], "        IM 1 INTERRUPTS ON  TStates: 1234");
    // Each flag on its own; bits 5 and 3 are never shown.
    for (auto [f, text] : {std::pair<uint8_t, const char*>{0x28, "- - - - - - - -"}, {0x80, "S - - - - - - -"},
                           {0x41, "- Z - - - - - C"}, {0x16, "- - - H - P N -"}})
        EXPECT_EQ(flags_text(f), text);
}

TEST_F(DebuggerText, PanesAndTabsShowMemoryAsTheWindowsDo)
{
    for (int i = 0; i < 16; ++i) image[0x4000 + i] = uint8_t(0x41 + i);
    image[0x4001] = 0x0A, image[0x4002] = 0xFF;
    const std::vector<std::string> pane = memory_pane_rows(image, 0x4000);
    ASSERT_EQ(pane.size(), 16u);
    EXPECT_EQ(pane[0], "4000   41 0A FF 44 45 46 47 48  A..DEFGH");
    EXPECT_EQ(pane[1], "4008   49 4A 4B 4C 4D 4E 4F 50  IJKLMNOP");
    EXPECT_EQ(pane[15].substr(0, 7), "4078   ");
    const std::vector<std::string> view = view_memory_rows(image, 0x4000);
    ASSERT_EQ(view.size(), 32u);
    EXPECT_EQ(view[0], "4000   41 0A FF 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50   A..DEFGHIJKLMNOP");
    EXPECT_EQ(view[31].substr(0, 4), "41F0");

    // The stack from SP up to the memory top, high byte first; nothing at the top.
    image[0x7FFC] = 0x34, image[0x7FFD] = 0x12, image[0x7FFE] = 0x76, image[0x7FFF] = 0x06;
    const auto stack = stack_rows(image, 0x7FFC, 0x8000);
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0], std::make_pair(std::string("7FFC"), std::string("1234")));
    EXPECT_EQ(stack[1], std::make_pair(std::string("7FFE"), std::string("0676")));
    EXPECT_TRUE(stack_rows(image, 0x8000, 0x8000).empty());

    nmi_generator_on = 1, hsync_generator_on = 1, row_counter = 5, scanline = 64, shift_register = 0x8000;
    EXPECT_EQ(internal_rows(), (std::vector<std::string>{"NMI Generator:   1", "HSYNC Generator: 1",
                                                          "Row Counter:     5", "Scanline:        64",
                                                          "Shift Register:  32768"}));
    const std::vector<std::string> info = info_rows();
    EXPECT_EQ(info[0], " ZX81 16K RAM");
    EXPECT_EQ(info[1], "64584 t_states per frame");
    EXPECT_EQ(info[2], "207 t_states per scanline");
    ASSERT_TRUE(load_chosen_program(std::string(WREN81_SHARED_DIR) + "/programs/zx81-program.p"));
    const std::vector<std::string> loaded = info_rows();
    EXPECT_EQ(loaded[3], "zx81-program.p");
    EXPECT_EQ(loaded[4], "P File");
    EXPECT_EQ(loaded[5], std::to_string(program_image_length) + " bytes");
}

TEST_F(DebuggerText, CodePaneShowsThirtyLinesAndMarksTheLineAtPC)
{
    image[0x0000] = 0xD3, image[0x0001] = 0xFD;  // OUT (#FD),A, then NOPs
    Listing* listing = build_listing(image, 0x0010, disasm_hex);
    int current = 0;
    std::vector<std::string> lines = code_pane_lines(listing, 1, 0x0002, current);
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[0], "0000  D3FD     OUT   (#FD),A       ");
    EXPECT_EQ(lines[1].substr(0, 4), "0002");
    EXPECT_EQ(current, 1);
    EXPECT_EQ(lines[14].substr(0, 4), "000F");
    EXPECT_EQ(lines[15], std::string(35, ' '));  // 15 lines in all, blank after them
    EXPECT_EQ(lines[29], std::string(35, ' '));
    code_pane_lines(listing, 3, 0x0002, current);
    EXPECT_EQ(current, -1);  // PC's line is above the pane
    code_pane_lines(listing, 1, 0x0001, current);
    EXPECT_EQ(current, -1);  // PC inside an instruction
    free_listing(listing);
}

TEST_F(DebuggerText, SystemVariablesShowEveryByteOfEachVariable)
{
    memory[0x400C] = 0x7D, memory[0x400D] = 0x40;
    const std::vector<SysvarRow> rows = system_variable_rows();
    ASSERT_EQ(rows.size(), 36u);
    EXPECT_EQ(rows[0].name, "ERR_NR");
    EXPECT_EQ(rows[0].value, "#00");
    const auto row = [&](const char* name) {
        return *std::find_if(rows.begin(), rows.end(), [&](const SysvarRow& r) { return r.name == name; });
    };
    EXPECT_EQ(row("D_FILE").address, "#400C");
    EXPECT_EQ(row("D_FILE").value, "#7D, #40");
    const auto values = [](const std::string& v) { return std::count(v.begin(), v.end(), '#'); };
    EXPECT_EQ(values(row("PRBUFF").value), 33);
    EXPECT_EQ(values(row("MEMBOT").value), 30);
    EXPECT_EQ(row("MEMBOT").value.size(), 30u * 5 - 2);
}

// The memory tools work on the machine's memory; the 16K machine's top is 0x8000.
class MemoryTools : public MachineTest {
protected:
    void TearDown() override { debugger_close_window(); }
};

TEST_F(MemoryTools, FindSearchesValuesBytesAndTextAndFindNextMovesOn)
{
    load_code(0x5000, {0x34, 0x12});
    load_code(0x6000, {0x34, 0x12, 'H', 'i'});
    load_code(0x7FFF, {'Q'});
    debugger_open_window();

    EXPECT_EQ(find_memory("#1234", find_word, false), 0x5000);  // low byte first
    EXPECT_EQ(highlight_address, 0x5000);
    EXPECT_EQ(code_top_line, 0x5001);  // one NOP a line from address 0: line 0x5001 is 0x5000
    EXPECT_EQ(find_memory("$1234", find_word, true), 0x6000);
    const int errors = headless_error_count;
    EXPECT_EQ(find_memory("4660", find_word, true), -1);
    EXPECT_EQ(headless_error_count, errors + 1);
    EXPECT_EQ(headless_last_error, "50 - Find: No match found");

    EXPECT_EQ(find_memory("52,#12,72", find_bytes, false), 0x6000);
    EXPECT_EQ(find_memory("Hi", find_text, false), 0x6002);
    // A match at the last address, then nothing after it.
    EXPECT_EQ(find_memory("Q", find_text, false), 0x7FFF);
    EXPECT_EQ(find_memory("Q", find_text, true), -1);
    EXPECT_EQ(headless_error_count, errors + 2);
    // A number with a stray character matches nothing, not the number before it.
    EXPECT_EQ(find_memory("52x,#12", find_bytes, false), -1);
    EXPECT_EQ(find_memory("", find_word, false), -1);
}

TEST_F(MemoryTools, FillAndCopyWriteWithinTheMemoryTopOnly)
{
    EXPECT_TRUE(fill_memory_block(0x5000, 3, "#1234", fill_word));
    EXPECT_EQ(std::vector<uint8_t>(memory + 0x5000, memory + 0x5005),
              (std::vector<uint8_t>{0x34, 0x12, 0x34, 0x12, 0x00}));  // an odd length writes one more
    EXPECT_TRUE(fill_memory_block(0x5010, 2, "511", fill_byte));
    EXPECT_EQ(std::vector<uint8_t>(memory + 0x500F, memory + 0x5013), (std::vector<uint8_t>{0, 0xFF, 0xFF, 0}));
    EXPECT_TRUE(fill_memory_block(0x5020, 0, "HELLO", fill_text));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(memory + 0x5020), 5), "HELLO");
    EXPECT_EQ(debug_snapshot[0x5020], 'H');  // the panes see the change

    EXPECT_FALSE(fill_memory_block(0x7FFE, 2, "#FF", fill_byte));  // would reach the top
    EXPECT_FALSE(fill_memory_block(0x7FFC, 0, "ABCD", fill_text));
    EXPECT_EQ(memory[0x7FFE], 0);
    EXPECT_TRUE(fill_memory_block(0x7FFD, 2, "#FF", fill_byte));

    EXPECT_TRUE(copy_memory_block(0x5020, 0x6001, 5));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(memory + 0x6001), 5), "HELLO");
    EXPECT_TRUE(copy_memory_block(0x6001, 0x6002, 5));  // overlapping: still a copy
    EXPECT_EQ(std::string(reinterpret_cast<char*>(memory + 0x6002), 5), "HELLO");
    EXPECT_FALSE(copy_memory_block(0x5020, 0x7FFC, 4));
    EXPECT_FALSE(copy_memory_block(0x7FFC, 0x5000, 4));
    EXPECT_EQ(memory[0x7FFC], 0);
}

TEST_F(MemoryTools, PushAndPopGoThroughTheStack)
{
    z80.sp = 0x7F00;
    tstates = 100;
    EXPECT_TRUE(push_value(0, "#1234"));
    EXPECT_EQ(z80.sp, 0x7EFE);
    EXPECT_EQ(memory[0x7EFE], 0x34);
    EXPECT_EQ(memory[0x7EFF], 0x12);
    EXPECT_EQ(tstates, 100u);
    pop_value(3);  // HL
    EXPECT_EQ(z80.hl.w, 0x1234);
    EXPECT_EQ(z80.sp, 0x7F00);

    z80.de_alt.w = 0xBEEF;
    EXPECT_TRUE(push_value(0, "DE'"));  // a pair named in the typed text
    pop_value(0);                    // AF: F from the first byte
    EXPECT_EQ(z80.af.hi, 0xBE);
    EXPECT_EQ(z80.af.lo, 0xEF);

    // Typed text that is no number, or too big, pushes nothing.
    for (const char* bad : {"X12", "#10000", "65536", "12z"}) {
        EXPECT_FALSE(push_value(0, bad)) << bad;
        EXPECT_EQ(z80.sp, 0x7F00) << bad;
    }
    EXPECT_TRUE(push_value(0, "65535"));
    EXPECT_EQ(memory[0x7EFF], 0xFF);

    EXPECT_TRUE(alter_stack_pointer("32000"));
    EXPECT_EQ(z80.sp, 32000);
    for (const char* bad : {"65536", "#100", ""}) EXPECT_FALSE(alter_stack_pointer(bad)) << bad;
    EXPECT_EQ(z80.sp, 32000);
}

TEST_F(MemoryTools, EditorTypesBytesKeepsTheCaretInItsRowsAndEditsTheRomOnlyWhenAsked)
{
    editor_open(false);
    EXPECT_EQ(memory_editor.view_start, 0x2000u);
    editor_scroll(0x4000);
    editor_digit('4');
    EXPECT_EQ(editor_text_rows()[0].substr(editor_caret_text_index() - 1, 2), "40") << "the typed digit shows";
    editor_key(key_right);  // ignored while the byte is half entered
    editor_key(key_down);
    EXPECT_EQ(memory_editor.caret_column, 10);
    EXPECT_EQ(memory_editor.caret_row, 1);
    EXPECT_EQ(memory[0x4000], 0);
    editor_digit('g');  // not a hex digit
    editor_digit('e');
    EXPECT_EQ(memory[0x4000], 0x4E);
    EXPECT_EQ(debug_snapshot[0x4000], 0x4E);
    EXPECT_EQ(memory_editor.caret_column, 12);
    EXPECT_EQ(memory_editor.byte_index, 1u);

    editor_key(key_end);
    editor_key(key_right);  // stays on the row's last byte
    editor_key(key_down);
    EXPECT_EQ(memory_editor.byte_index, 31u);
    editor_digit('0');
    editor_digit('1');
    EXPECT_EQ(memory[0x401F], 0x01);
    EXPECT_EQ(memory_editor.caret_column, 54);  // the last byte of a row keeps the caret
    editor_key(key_home);
    editor_key(key_up);
    editor_key(key_up);
    EXPECT_EQ(memory_editor.caret_row, 1);
    EXPECT_EQ(memory_editor.byte_index, 0u);
    // The caret stands on its byte's first digit in the row the window draws.
    EXPECT_EQ(view_memory_rows(0x4000)[0].substr(editor_caret_text_index(), 2), "4E");

    editor_key(key_page_down);
    EXPECT_EQ(memory_editor.view_start, 0x4200u);
    editor_scroll(0x7FFF);
    EXPECT_EQ(memory_editor.view_start, 0x7E00u);  // the memory top less 512
    editor_key(key_page_down);
    EXPECT_EQ(memory_editor.view_start, 0x7E00u);
    editor_scroll(0x100);
    EXPECT_EQ(memory_editor.view_start, 0x2000u);
    editor_write(0x0100, 0x55);  // the ROM is out of reach
    EXPECT_EQ(peek_byte(0x0100), 0x00);

    // Edit ROM opens on the ROM and changes it until Restore ROM.
    editor_open(true);
    EXPECT_EQ(memory_editor.view_start, 0u);
    editor_digit('C');
    editor_digit('9');
    EXPECT_EQ(peek_byte(0x0000), 0xC9);
    restore_rom();
    EXPECT_EQ(peek_byte(0x0000), 0xD3);  // the real ROM starts with OUT (#FD),A
    EXPECT_EQ(debug_snapshot[0x0000], 0xD3);
}

TEST_F(MemoryTools, DisassembleToFileAppendsWithinItsRange)
{
    const std::string path = ::testing::TempDir() + "wren81_disassemble_to_file.txt";
    std::remove(path.c_str());
    load_code(0x4000, {0x3E, 0x0A, 0xC9});
    EXPECT_EQ(disassemble_to_file(path, "16384", "16386", DisasmStyle{10, false, false}), 2);
    EXPECT_EQ(disassemble_to_file(path, "#4002", "#4002", disasm_hex), 1);
    EXPECT_EQ(read_whole_file(path), "16384  3E0A     LD    A,10\n16386  C9       RET\n4002  C9       RET\n");
    // Start and end that give nothing leave the file as it was.
    for (auto range : {std::make_pair("1", "-"), {"65536", "65537"}, {"#4002", "#4000"}, {"", "5"}})
        EXPECT_EQ(disassemble_to_file(path, range.first, range.second, disasm_hex), 0);
    EXPECT_EQ(disassemble_to_file(path, "#4002", "#4001", disasm_hex), 0);  // end = start - 1
    EXPECT_EQ(read_whole_file(path).size(), 66u);
    std::remove(path.c_str());

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(disassemble_to_file(::testing::TempDir() + "no/such/folder/x.txt", "0", "10", disasm_hex), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Cannot Open File: ERROR\n");
}

// ---- wren81-cli ----

std::vector<std::string> split_tabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '\t');) fields.push_back(f);
    return fields;
}

TEST(CliDebugger, ViewsAgreeWithEachOtherWithPokesAndWithWhatPrintPutOnTheScreen)
{
    CliRun r = run_cli("--model 4 --keys 'P\"HELLO\"\\n' --poke '#7000=1,#41,$FF' --memory 28672 --regs --code --stack "
                       "--sysvars --find-text HELLO --poke 1=#C9 --disassemble 0 5 --hex --rom-labels");
    ASSERT_EQ(r.status, 0) << r.err;
    const int n = int(r.lines.size()) - 3;  // the disassembly's lines are the last three
    ASSERT_GT(n, 16 + 14 + 30 + 36 + 1) << r.out;  // and the stack between
    EXPECT_EQ(r.lines[0], "7000   01 41 FF 00 00 00 00 00  .A......");
    EXPECT_EQ(r.lines[15].substr(0, 4), "7078");

    // The register pane: PC and SP, and the code pane's marked line is at PC.
    const std::string pc = r.lines[16].substr(4, 4), sp = r.lines[17].substr(4, 4);
    EXPECT_EQ(r.lines[16].substr(0, 4), "PC  ");
    EXPECT_EQ(r.lines[29].substr(8, 3), "IM ");
    int marked = 0;
    for (int i = 30; i < 60; ++i)
        if (r.lines[i][0] == '>') {
            ++marked;
            EXPECT_EQ(r.lines[i].substr(1, 4), pc);
        }
    EXPECT_EQ(marked, 1);

    // The stack from SP to the 16K machine's top, one word a line; then the 36 system variables.
    const std::vector<std::string> first_word = split_tabs(r.lines[60]);
    ASSERT_EQ(first_word.size(), 2u);
    EXPECT_EQ(first_word[0], sp);
    EXPECT_EQ(n - 97, (0x8000 - std::stoi(sp, nullptr, 16)) / 2);
    EXPECT_EQ(r.lines[n - 37].substr(0, 7), "ERR_NR\t");

    // Name, address and value a variable a line; the text found first is the first
    // character of the display file's top line.
    const std::vector<std::string> d_file = split_tabs(r.lines[n - 37 + 8]);
    ASSERT_EQ(d_file.size(), 3u);
    EXPECT_TRUE(d_file[0] == "D_FILE" && d_file[1] == "#400C") << r.lines[n - 29];
    const int address = std::stoi(d_file[2].substr(6, 2) + d_file[2].substr(1, 2), nullptr, 16) + 1;
    char expected[16];
    std::snprintf(expected, sizeof expected, "found: %04X", address);
    EXPECT_EQ(r.lines[n - 1], expected);

    // The poke reaches the ROM; the instruction that starts at the end address is written whole.
    EXPECT_EQ(std::vector<std::string>(r.lines.begin() + n, r.lines.end()),
              (std::vector<std::string>{"0000  D3C9     OUT   (#C9),A", "0002  01FF7F   LD    BC,#7FFF",
                                        "0005  C3CB03   JP    RAM-CHECK"}));

    // Lower case is inverse video, as --screen-text writes it: not on the screen.
    r = run_cli("--keys 'P\"HELLO\"\\n' --find-text hello --regs");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "50 - Find: No match found\n");
    EXPECT_TRUE(r.lines.empty());  // the run stops at the reported error
}

}  // namespace
