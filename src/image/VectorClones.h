// Hot per-pixel loops built twice, for AVX2 and for the baseline x86-64, the
// better one chosen once when the library loads: twice the lanes per
// instruction where the processor has them, and still running where it has not.
#pragma once

// Not under ThreadSanitizer: it instruments the resolver that picks a clone,
// which runs while the program is relocated, before its runtime is up.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define TEVRIN_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TEVRIN_VECTOR_CLONES
#endif

// For the body a cloned loop calls: inlined into each clone, and built for
// that clone's instruction set.
#define TEVRIN_INLINE_INTO_CLONES inline __attribute__((always_inline))
