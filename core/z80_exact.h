// Loads and stores of exactly one byte or one 16-bit half.
//
// A value stored to memory reaches a following load of the same address at once only
// when the load has exactly the store's width and does not zero-extend; the compiler
// likes to widen byte loads (movzx) and to narrow or merge others, and each of those
// waits several cycles for the store instead. The Z80's registers and memory pass
// every result from one instruction to the next this way, so their loads and stores
// are spelled out here.
#pragma once
#include <cstdint>

// The small helpers of the Z80 core serve hundreds of handlers and must never
// become calls.
#define Z80_INLINE [[gnu::always_inline]] inline

// The value comes back zero-extended.
template <class T>
Z80_INLINE uint32_t load_exact(const T& field)
{
#if defined(__GNUC__) && defined(__x86_64__)
    uint32_t v;
    if constexpr (sizeof(T) == 2) {
        asm("xorl %k0, %k0\n\tmovw %1, %w0" : "=&r"(v) : "m"(field));
    } else {
        asm("xorl %k0, %k0\n\tmovb %1, %b0" : "=&q"(v) : "m"(field));
    }
    if (v >> (8 * sizeof(T))) __builtin_unreachable();  // tells the compiler it is zero-extended
    return v;
#else
    return field;
#endif
}

// A volatile store is never merged with its neighbours into a wider one, yet, unlike
// an asm statement, leaves the compiler free to combine the other memory accesses
// around it.
template <class T>
Z80_INLINE void store_exact(T& field, uint32_t v)
{
    *static_cast<volatile T*>(&field) = T(v);
}
