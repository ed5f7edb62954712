// Wave-table generator: the 45 shape functions with the ranges they are scaled from, the operand
// rules of .bounce, the noise source and the sampling loop. Every operation rounds to single
// precision in a fixed order (the build forbids fused multiply-add), so the tables come out
// byte-identical on every platform.

#include "exec/wave.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <limits>

namespace zendra {
namespace {

// Wider intermediates would round differently and move samples across an integer boundary.
static_assert(FLT_EVAL_METHOD == 0, "wave tables need each float operation rounded to float");

constexpr float kPi = 3.1415927f;

// s(x, d) = sin(pi*x/d) and c(x, d) = cos(pi*x/d), x in degrees. The argument is formed in
// single precision (pi*x first), the function taken in double and rounded back to single.
float s(float x, float d) { return static_cast<float>(std::sin(static_cast<double>(kPi * x / d))); }
float c(float x, float d) { return static_cast<float>(std::cos(static_cast<double>(kPi * x / d))); }

// The one shape whose cosines take a shifted argument.
float cosineBlend(float x) {
  const float u = kPi * x + 171;
  const float c45 = static_cast<float>(std::cos(static_cast<double>(u / 45)));
  const float c90 = static_cast<float>(std::cos(static_cast<double>(u / 90)));
  return c90 - c45 * c90 + c45;
}

float square(float x) { return x < 90 ? 1.0f : -1.0f; }

float triangle(float x) {
  if (x < 90) {
    const float y = x / 45;
    return x < 45 ? y : 2 - y;
  }
  const float y = (x - 90) / 45;
  return x - 90 < 45 ? -y : -(2 - y);
}

float sawtooth(float x) {
  if (x >= 90) x = x - 90;
  return x < 45 ? x / 45 : x / 45 - 2;
}

struct WaveForm {
  float (*shape)(float x);
  float minimum;  // the curve values that map onto low and high
  float maximum;
};

// Terms combine left to right as written; a square is spelled as two factors and joins that order,
// so s(45)*c(90)^2 is (s(x, 45) * c(x, 90)) * c(x, 90). Row 18 stores its range reversed on
// purpose, which turns that curve upside down.
// clang-format off
constexpr WaveForm kWaveForms[] = {
  /*  0 */ {[](float x) { return 2 * s(x, 180) - 1; },                               -1.0f,       1.0f},
  /*  1 */ {[](float x) { return 1 - 2 * s(x, 180); },                               -1.0f,       1.0f},
  /*  2 */ {[](float x) { return s(x, 90); },                                        -1.0f,       1.0f},
  /*  3 */ {[](float x) { return s(x, 90) * c(x, 45); },                             -1.0f,       1.0f},
  /*  4 */ {[](float x) { return c(x, 90) * s(x, 45); },                             -0.7698f,    0.7698f},
  /*  5 */ {[](float x) { return s(x, 22.5f) * c(x, 90); },                          -0.928502f,  0.928502f},
  /*  6 */ {[](float x) { return c(x, 22.5f) * s(x, 90); },                          -1.0f,       1.0f},
  /*  7 */ {[](float x) { return c(x, 11.25f) * s(x, 90); },                         -1.0f,       1.0f},
  /*  8 */ {[](float x) { return s(x, 11.25f) * c(x, 90); },                         -0.981084f,  0.981084f},
  /*  9 */ {[](float x) { return s(x, 45) * c(x, 90) * c(x, 90); },                  -0.649519f,  0.649519f},
  /* 10 */ {[](float x) { return -(c(x, 45) * s(x, 90) * s(x, 90)); },               -0.125f,     1.0f},
  /* 11 */ {[](float x) { return -(c(x, 45) * s(x, 45) * s(x, 90)); },               -0.464251f,  0.464251f},
  /* 12 */ {[](float x) { return s(x, 22.5f) * c(x, 45) * c(x, 90); },               -0.735105f,  0.735105f},
  /* 13 */ {[](float x) { return -(c(x, 22.5f) * s(x, 90) * s(x, 90)); },            -1.0f,       0.552063f},
  /* 14 */ {[](float x) { return s(x, 22.5f) * c(x, 90) * c(x, 90); },               -0.869619f,  0.869619f},
  /* 15 */ {[](float x) { return s(x, 90) * (s(x, 45) * s(x, 45)); },                -0.743613f,  0.743613f},
  /* 16 */ {[](float x) { return s(x, 22.5f) * s(x, 45) * s(x, 90); },               -0.687305f,  0.687305f},
  /* 17 */ {[](float x) { return c(x, 22.5f) * c(x, 90) * s(x, 90); },               -0.5f,       0.5f},
  /* 18 */ {[](float x) { return c(x, 22.5f) * c(x, 45) * s(x, 90); },                1.0f,      -1.0f},
  /* 19 */ {[](float x) { return c(x, 90) + s(x, 45); },                             -1.76017f,   1.76017f},
  /* 20 */ {[](float x) { return c(x, 90) - s(x, 22.5f); },                          -1.92821f,   1.92821f},
  /* 21 */ {[](float x) { return s(x, 90) - s(x, 22.5f); },                          -1.92821f,   1.92821f},
  /* 22 */ {[](float x) { return s(x, 45) * s(x, 22.5f) + c(x, 90) * s(x, 22.5f); }, -1.2041f,    1.64849f},
  /* 23 */ {[](float x) { return -(s(x, 22.5f) * s(x, 45) + c(x, 45)); },            -1.41421f,   1.41421f},
  /* 24 */ {[](float x) { return s(x, 45) - s(x, 90) * s(x, 22.5f); },               -1.66023f,   1.66023f},
  /* 25 */ {[](float x) { return s(x, 45) * c(x, 90) - s(x, 22.5f) * s(x, 90); },    -1.21762f,   1.21762f},
  /* 26 */ {[](float x) { return s(x, 45) * s(x, 22.5f) + s(x, 22.5f); },            -1.73924f,   1.73924f},
  /* 27 */ {[](float x) { return s(x, 45) * c(x, 90) + s(x, 22.5f); },               -1.67961f,   1.67961f},
  /* 28 */ {[](float x) { return s(x, 22.5f) - s(x, 45) * c(x, 90); },               -1.67961f,   1.67961f},
  /* 29 */ {[](float x) { return s(x, 22.5f) - s(x, 45) + c(x, 90); },               -2.23255f,   2.23255f},
  /* 30 */ {[](float x) { return s(x, 22.5f) + s(x, 45) - c(x, 90); },               -2.65788f,   2.65788f},
  /* 31 */ {[](float x) { return s(x, 22.5f) + s(x, 45) + s(x, 90); },               -2.23255f,   2.23255f},
  /* 32 */ {[](float x) { return -(c(x, 22.5f) * c(x, 90) + c(x, 45)); },            -2.0f,       1.07929f},
  /* 33 */ {[](float x) { return c(x, 22.5f) * s(x, 90) - c(x, 45); },               -1.07929f,   2.0f},
  /* 34 */ {[](float x) { return s(x, 22.5f) * s(x, 90) - s(x, 45); },               -1.66023f,   1.66023f},
  /* 35 */ {[](float x) { return s(x, 90) * s(x, 45) + s(x, 45); },                  -1.73924f,   1.73924f},
  /* 36 */ {[](float x) { return c(x, 45) * s(x, 90) / (s(x, 22.5f) + 2); },         -0.740343f,  0.740343f},
  /* 37 */ {[](float x) { return s(x, 90) * c(x, 45) / (s(x, 45) + 2); },            -0.560947f,  0.560947f},
  /* 38 */ {[](float x) { return (c(x, 22.5f) + s(x, 45)) / (c(x, 45) + 2); },       -1.05559f,   1.09787f},
  /* 39 */ {[](float x) { return (s(x, 90) - s(x, 22.5f)) / (s(x, 45) + 2); },       -1.547f,     1.20475f},
  /* 40 */ {[](float x) { return c(x, 90) * s(x, 22.5f) - s(x, 45) * c(x, 45); },    -1.42696f,   1.42696f},
  /* 41 */ {cosineBlend,                                                             -1.37037f,   1.0f},
  /* 42 */ {square,                                                                  -1.0f,       1.0f},
  /* 43 */ {triangle,                                                                -1.0f,       1.0f},
  /* 44 */ {sawtooth,                                                                -1.0f,       1.0f},
};
// clang-format on
static_assert(std::size(kWaveForms) == kWaveShapeCount, "one row per shape");

// Saturates beyond the 32-bit range instead of converting with undefined behaviour. NaN gives 0;
// no shape produces it, since every divisor in the table stays at 1 or above.
int32_t saturateToInt32(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// A disturbance of width `amount` centred on zero; both divisions truncate toward zero.
int64_t noiseTerm(int32_t amount, int32_t random) {
  const int64_t width = amount;
  return width * random / WaveNoise::kMaxValue - width / 2;
}

}  // namespace

void applyBounceOperand(BounceParams& params, size_t position, int32_t value) {
  BounceSettings& settings = params.settings;
  switch (position) {
    case 0: settings.shape = std::clamp<int32_t>(value, 0, kWaveShapeCount - 1); break;
    case 1:  // bits 0-15 as a signed number, so 0..32767
      params.count = std::max<int32_t>(static_cast<int16_t>(static_cast<uint16_t>(value)), 0);
      break;
    case 2: params.low = value; break;
    case 3: params.high = value; break;
    case 4:  // half-turns over the whole table
      settings.cycles = std::clamp<int32_t>(value, 1, 100);
      break;
    case 5:  // a flag only when exactly 1
      settings.invert = value == 1;
      break;
    case 6:  // degrees
      settings.startAngle = std::clamp<int32_t>(value, 0, 360);
      break;
    case 7:  // percent
      settings.startAmplitude = std::clamp<int32_t>(value, 0, 100);
      break;
    case 8: settings.endAmplitude = std::clamp<int32_t>(value, 0, 100); break;
    case 9: settings.noise = value == 1; break;
    case 10: settings.noiseAmount = value; break;
    default: break;
  }
}

void WaveNoise::reseed() { state = kSeed; }

// A linear congruential step; the low bits of such a generator are weak, so the sample comes from
// bits 16-30.
int32_t WaveNoise::next() {
  state = state * 1103515245u + 12345u;
  return static_cast<int32_t>((state >> 16) & 0x7FFFu);
}

std::vector<int32_t> generateWave(const BounceSettings& settings, int count, int32_t low,
                                  int32_t high, WaveNoise& noise) {
  std::vector<int32_t> values;
  if (count <= 0) return values;
  values.reserve(static_cast<size_t>(count));

  const WaveForm& form = kWaveForms[std::clamp(settings.shape, 0, kWaveShapeCount - 1)];
  const float range = form.maximum - form.minimum;
  // low and high are rounded to single before they meet, like every other operand of the scaling.
  const float base = static_cast<float>(low);
  const float span = static_cast<float>(high) - base;
  const float step = static_cast<float>(settings.cycles) * 180 / static_cast<float>(count);
  // The ramp is skipped at full height rather than multiplied by 100/100: that would round.
  const bool ramped = settings.startAmplitude != 100 || settings.endAmplitude != 100;
  const float amplitudeStep =
      (static_cast<float>(settings.endAmplitude) - static_cast<float>(settings.startAmplitude)) /
      static_cast<float>(count);
  float amplitude = static_cast<float>(settings.startAmplitude);
  float angle = static_cast<float>(settings.startAngle);

  for (int i = 0; i < count; ++i) {
    float curve = form.shape(angle);
    if (ramped) {
      curve = curve * amplitude / 100;
      amplitude = amplitude + amplitudeStep;
    }
    const float scaled = (curve - form.minimum) * span / range + base + 0.5f;
    const float floored = static_cast<float>(std::floor(static_cast<double>(scaled)));
    int64_t value = saturateToInt32(floored);
    if (settings.invert) value = int64_t{low} + high - value;
    if (settings.noise) value += noiseTerm(settings.noiseAmount, noise.next());
    // Wrapping keeps the low byte, the only part that is emitted, equal to the exact sum's.
    values.push_back(static_cast<int32_t>(static_cast<uint32_t>(value)));
    angle = angle + step;  // folded back once only: a step above 180 lets the angle climb
    if (angle > 180) angle = angle - 180;
  }
  return values;
}

}  // namespace zendra
