#include <cstring>

#include "bus.h"

uint8_t trace_memory[65536];
BusEvent trace_log[trace_capacity];
int trace_count;

void reset_hardware()
{
    std::memset(trace_memory, 0, sizeof trace_memory);
    trace_count = 0;
}
