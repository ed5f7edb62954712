// Wave tables for .bounce: one of 45 periodic curves, sampled over a number of half-turns, scaled
// onto a value range, optionally inverted, ramped in amplitude and disturbed by noise. The handler
// evaluates the operands and emits the low byte of each value; this component only computes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zendra {

constexpr int kWaveShapeCount = 45;

struct BounceSettings {
  int shape = 2;
  int cycles = 1;
  bool invert = false;
  int startAngle = 0;
  int startAmplitude = 100;
  int endAmplitude = 100;
  bool noise = false;
  int32_t noiseAmount = 0;
};

// Everything the .bounce operands decide, with the defaults of an operand-less call.
struct BounceParams {
  BounceSettings settings;
  int count = 256;
  int32_t low = 0;
  int32_t high = 255;
};

// Applies the value of operand `position` (0-based: 0 = shape ... 10 = noise amount) with its
// clamping rule; positions from 11 on change nothing.
void applyBounceOperand(BounceParams& params, size_t position, int32_t value);

// Small deterministic generator of our own giving 0..32767; reseeded with a fixed seed at the
// start of every pass, so both passes and every run draw the same sequence.
class WaveNoise {
 public:
  static constexpr int32_t kMaxValue = 32767;

  void reseed();
  int32_t next();

 private:
  static constexpr uint32_t kSeed = 0x2F6E2B1u;
  uint32_t state = kSeed;
};

// Returns `count` samples (none when count <= 0) of the curve settings.shape scaled so that its
// stored minimum maps to `low` and its maximum to `high`. Draws one number from `noise` per
// sample when settings.noise is on, and none otherwise. A shape outside 0..44 is clamped.
std::vector<int32_t> generateWave(const BounceSettings& settings, int count, int32_t low,
                                  int32_t high, WaveNoise& noise);

}  // namespace zendra
