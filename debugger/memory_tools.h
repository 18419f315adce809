// The memory tools of the debugger: Find, Copy and Fill Memory Block, PUSH and POP
// Value, Alter Stack Pointer, Restore ROM, and the memory editor's caret and keys.
// They work on the flat memory image, as the windows' dialogs ask.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A byte of the address space through the page map, without any side effect.
uint8_t page_map_byte(uint16_t address);

// Number fields: "#" or "$" hexadecimal, otherwise decimal; parses as far as valid,
// a field that is not a number gives 0.
uint32_t parse_number_field(const char* text);

// ---- Find ----
enum FindMode { find_word = 1, find_bytes = 2, find_text = 3 };
extern uint32_t find_position;  // address of the last match
// Searches from 0 (next: after the last match) up to the memory top minus one.
// 16-bit value: a number, low byte first; string of bytes: numbers separated by
// commas; text: the bytes as typed. A number that is empty or has a stray character
// can match nothing. On a match the code pane moves to the first listing line at or
// after it and the address is highlighted. Returns the address, or -1 after
// reporting error 0x50.
long find_memory(const char* text, FindMode mode, bool next);

// ---- blocks ----
// Both refuse (false, nothing written) a block that does not end below the memory top.
bool copy_memory_block(uint32_t source, uint32_t destination, uint32_t length);
enum FillMode { fill_byte = 1, fill_word = 2, fill_text = 3 };
// 8-bit: the data's low byte; 16-bit: low byte, high byte pairs (an odd length writes
// one more byte); text: up to 255 characters as typed (length is not used).
bool fill_memory_block(uint32_t start, uint32_t length, const char* data, FillMode mode);

// ---- stack ----
constexpr int register_pair_count = 10;
extern const char* const register_pair_names[register_pair_count];  // "AF" .. "HL'"
extern int push_pop_selection;
uint16_t register_pair_value(int index);
void set_register_pair(int index, uint16_t value);
// PUSH Value: the pair named by the typed text, or the typed text when given ("#"/"$" hex or decimal; anything else, or a
// value of 0x10000 or more, is ignored and false returned), else the pair's value.
// The bytes go through the bus without taking time: high byte at SP - 1, low at SP - 2.
bool push_value(int pair_index, const char* typed_text);
// POP Value: low byte at SP, then high byte; for AF, F from the first and A the second.
void pop_value(int pair_index);
// Alter Stack Pointer: a decimal number below 0x10000; anything else changes nothing.
bool alter_stack_pointer(const char* decimal_text);
// Restore ROM: reloads the ROM images (undoing Edit ROM changes).
void restore_rom();

// ---- the memory editor ----
struct MemoryEditor {
    uint32_t view_start;   // 0x2000 (0 with Edit ROM) .. memory top - 512
    int caret_row;         // 1..32
    int caret_column;      // 9..54 in steps of 3, plus 1 while half entered
    uint32_t byte_index;   // caret's byte from view_start
    bool half_entered;
    int first_digit;
    bool edit_rom;         // the ROM area is reachable
};
extern MemoryEditor memory_editor;
enum EditorKey { key_page_up, key_page_down, key_home, key_end, key_left, key_right, key_up, key_down };
// Opening takes a fresh snapshot; the view starts at the lowest address it may show.
void editor_open(bool edit_rom);
// Navigation keys are ignored while a byte is half entered.
void editor_key(EditorKey key);
// A hex digit '0'-'9', 'A'-'F' (either case); other characters are ignored.
void editor_digit(char digit);
void editor_scroll(uint32_t start);
// View Memory's and the editor's first address: rounded down to a row of 16 and kept
// between 0x2000 (0 with Edit ROM) and the memory top minus 512.
uint32_t clamp_view_start(uint32_t start, bool edit_rom);
// Where the caret stands in the text of its row of view_memory_rows (a character index).
int editor_caret_text_index();
// The rows the editor shows: View Memory's, with a half-entered byte's first digit in place.
std::vector<std::string> editor_text_rows();
// Writes a byte as the editor does: memory and snapshot, ROM only with Edit ROM.
void editor_write(uint16_t address, uint8_t value);
