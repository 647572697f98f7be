#pragma once
// The program's one random generator: a linear congruential generator seeded once at start-up.
// Each draw: state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.

#include <cstdint>

void SeedRandom(uint32_t seed);
int Rand();  // 0..32767
uint32_t RandomState();
