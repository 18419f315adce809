# The emulated machine runs its per-instruction loops in wren81_core: optimise it harder.
target_compile_options(wren81_core PRIVATE -O3)
