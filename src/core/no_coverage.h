#pragma once
// QC4_NO_COVERAGE leaves a function out of the fuzzers' coverage (clang's -fsanitize=fuzzer-no-link),
// and keeps it out of line so that it is not traced where it would be inlined. Only for loops whose
// tests are the same for every byte or cell they walk and tell the fuzzer nothing: traced, they would
// cost a call for each (a map of millions of cells, a file written a few bytes at a time).
#if defined(__clang__)
#define QC4_NO_COVERAGE __attribute__((no_sanitize("coverage"), noinline))
#else
#define QC4_NO_COVERAGE
#endif
