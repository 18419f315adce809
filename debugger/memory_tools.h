// The memory tools of the debugger: Find, Copy and Fill Memory Block, PUSH and POP
// Value, Alter Stack Pointer, Restore ROM, and the memory editor's caret and keys.
// They work on the flat memory image, as the windows' dialogs ask.
#pragma once
#include <cstdint>
#include <string>

// Number fields: "#" or "$" hexadecimal, otherwise decimal; parses as far as valid,
// a field that is not a number gives 0.
uint32_t parse_number_field(const char* text);

// ---- Find ----
enum FindMode { find_word = 1, find_bytes = 2, find_text = 3 };
extern uint32_t find_position;  // address of the last match
// Searches from 0 (next: after the last match) up to the memory top minus one.
// Returns the address, or -1 after reporting error 0x50.
long find_memory(const char* text, FindMode mode, bool next);

// ---- blocks ----
bool copy_memory_block(uint32_t source, uint32_t destination, uint32_t length);
enum FillMode { fill_byte = 1, fill_word = 2, fill_text = 3 };
bool fill_memory_block(uint32_t start, uint32_t length, const char* data, FillMode mode);

// ---- stack ----
constexpr int register_pair_count = 10;
extern const char* const register_pair_names[register_pair_count];  // "AF" .. "HL'"
extern int push_pop_selection;
uint16_t register_pair_value(int index);
void set_register_pair(int index, uint16_t value);
// PUSH Value: the typed text when given (ignored unless it parses below 0x10000),
// else the selected pair.
bool push_value(int pair_index, const char* typed_text);
void pop_value(int pair_index);
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
void editor_open(bool edit_rom);
void editor_key(EditorKey key);
// A hex digit '0'-'9', 'A'-'F' (either case); other characters are ignored.
void editor_digit(char digit);
void editor_scroll(uint32_t start);
// Writes a byte as the editor does: memory and snapshot, ROM only with Edit ROM.
void editor_write(uint16_t address, uint8_t value);
