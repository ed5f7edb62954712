// Wave tables: the sampled values of each kind of .bounce call, the operand clamping rules, and
// the noise that must repeat exactly from one pass to the next.

#include "exec/wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace zendra {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

BounceParams paramsFor(const std::vector<int32_t>& operands) {
  BounceParams params;
  for (size_t position = 0; position < operands.size(); ++position)
    applyBounceOperand(params, position, operands[position]);
  return params;
}

// The values a .bounce statement with these operands emits (before taking the low byte).
std::vector<int32_t> bounce(const std::vector<int32_t>& operands) {
  const BounceParams params = paramsFor(operands);
  WaveNoise noise;
  return generateWave(params.settings, params.count, params.low, params.high, noise);
}

std::string render(const std::vector<int32_t>& values) {
  std::string text;
  for (int32_t value : values) text += (text.empty() ? "" : ", ") + std::to_string(value);
  return text;
}

struct WaveCase {
  std::string_view statement;
  std::vector<int32_t> operands;
  std::string_view values;
};

const WaveCase kWaveCases[] = {
    {".bounce 0, 4", {0, 4}, "0, 180, 255, 180"},
    {".bounce 42, 4, 10, 20", {42, 4, 10, 20}, "20, 20, 10, 10"},
    {".bounce 2, 4, 0, 1000", {2, 4, 0, 1000}, "500, 1000, 500, 0"},
    {".bounce 2, 0", {2, 0}, ""},
    // Amplitude ramps from the flat middle value to full height, or stays at half height.
    {".bounce 2, 8, 0, 255, 1, 0, 0, 0, 100",
     {2, 8, 0, 255, 1, 0, 0, 0, 100},
     "128, 139, 159, 161, 127, 71, 32, 49"},
    {".bounce 2, 8, 0, 255, 1, 0, 0, 50, 50",
     {2, 8, 0, 255, 1, 0, 0, 50, 50},
     "128, 173, 191, 173, 127, 82, 64, 82"},
    {".bounce 43, 8, 0, 100", {43, 8, 0, 100}, "50, 75, 100, 75, 50, 25, 0, 25"},
    {".bounce 44, 8, 0, 100", {44, 8, 0, 100}, "50, 75, 0, 25, 50, 75, 0, 25"},
    // Shape 18 keeps its range reversed: where its curve is -1 it reaches the top.
    {".bounce 18, 4", {18, 4}, "128, 255, 128, 0"},
    {".bounce 3, 4", {3, 4}, "128, 0, 127, 255"},
    // The angle passes 180 at the second sample (215 -> 35) and folds back once.
    {".bounce 42, 4, 0, 100, 1, 0, 170", {42, 4, 0, 100, 1, 0, 170}, "0, 100, 100, 0"},
    // A step of 450 degrees folds back only once: 450 -> 270, not on to 90.
    {".bounce 44, 2, 0, 100, 5", {44, 2, 0, 100, 5}, "50, 150"},
    // Beyond the 32-bit range values saturate; inverting them must not overflow.
    {".bounce 2, 4, kMin, kMax", {2, 4, kMin, kMax}, "0, 2147483647, -128, -2147483648"},
    {".bounce 2, 4, kMin, kMax, 1, 1",
     {2, 4, kMin, kMax, 1, 1},
     "-1, -2147483648, 127, 2147483647"},
};

TEST(Wave, ProducesTheValuesOfEachKindOfCall) {
  for (const auto& c : kWaveCases) {
    SCOPED_TRACE(c.statement);
    EXPECT_EQ(render(bounce(c.operands)), c.values);
  }
}

// Samples that come out one lower or higher when the arithmetic is reordered or kept in another
// precision, so each pins one rounding step.
TEST(Wave, RoundsEachStepInItsFixedOrder) {
  const struct {
    std::string_view why;
    std::vector<int32_t> operands;
    size_t sample;
    int32_t value;
  } cases[] = {
      {"pi * x is formed before dividing by d", {1, 6}, 5, 128},
      {"sine taken in double, then rounded", {1, 25, 0, 1000000}, 3, 631876},
      {"times the span before dividing by the range", {4, 1, 0, 255, 1, 0, 0, 0, 0}, 0, 127},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::vector<int32_t> values = bounce(c.operands);
    ASSERT_GT(values.size(), c.sample);
    EXPECT_EQ(values[c.sample], c.value);
  }
}

TEST(Wave, DefaultsGiveOneSinePeriodOverByteRange) {
  const std::vector<int32_t> values = bounce({2});
  ASSERT_EQ(values.size(), 256u);
  EXPECT_EQ(render({values.begin(), values.begin() + 4}), "128, 131, 134, 137");
  EXPECT_EQ(values[64], 255);
  EXPECT_EQ(values[128], 127);  // the sine of the single-precision pi lies just below zero
  EXPECT_EQ(values[192], 0);
}

TEST(Wave, InvertMirrorsEachValueInItsRange) {
  const struct {
    std::vector<int32_t> plain;
    std::vector<int32_t> inverted;
    int32_t lowPlusHigh;
  } cases[] = {
      {{2}, {2, 256, 0, 255, 1, 1}, 255},
      {{0, 16, 10, 20}, {0, 16, 10, 20, 1, 1}, 30},
      {{37, 100, -50, 900, 3}, {37, 100, -50, 900, 3, 1}, 850},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(render(c.inverted));
    const std::vector<int32_t> plainValues = bounce(c.plain);
    const std::vector<int32_t> invertedValues = bounce(c.inverted);
    ASSERT_EQ(invertedValues.size(), plainValues.size());
    for (size_t i = 0; i < plainValues.size(); ++i)
      EXPECT_EQ(invertedValues[i], c.lowPlusHigh - plainValues[i]) << "sample " << i;
  }
}

// Holds each curve function against its stored range: a finely sampled table must reach both
// ends of the value range and never leave it.
TEST(Wave, EachShapeSpansExactlyItsValueRange) {
  for (int shape = 0; shape < kWaveShapeCount; ++shape) {
    SCOPED_TRACE("shape " + std::to_string(shape));
    const std::vector<int32_t> values = bounce({shape, 32767});
    ASSERT_EQ(values.size(), 32767u);
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    EXPECT_EQ(*lowest, 0);
    EXPECT_EQ(*highest, 255);
  }
}

TEST(Wave, ShapeAndCountOutsideTheirRangesAreSafe) {
  WaveNoise noise;
  BounceSettings settings;
  EXPECT_TRUE(generateWave(settings, -5, 0, 255, noise).empty());
  settings.shape = 99;
  const std::vector<int32_t> high = generateWave(settings, 16, 0, 255, noise);
  settings.shape = -3;
  const std::vector<int32_t> low = generateWave(settings, 16, 0, 255, noise);
  EXPECT_EQ(render(high), render(bounce({44, 16})));
  EXPECT_EQ(render(low), render(bounce({0, 16})));
}

// Each sample gets its own draw r, and amount * r / 32767 - amount / 2 spans the amount centred on
// zero. It is added after inversion (these tables are inverted), the sum wrapping to 32 bits.
TEST(Wave, NoiseIsACentredDisturbanceOfTheGivenWidth) {
  const struct {
    int32_t amount;
    int32_t low;
    int32_t high;
  } cases[] = {{10, 0, 255}, {1001, 0, 255}, {-10, 0, 255}, {kMax, kMax, kMax}, {kMax, kMin, kMin}};
  for (const auto& c : cases) {
    SCOPED_TRACE("amount " + std::to_string(c.amount) + " from " + std::to_string(c.low));
    const std::vector<int32_t> clean = bounce({5, 4096, c.low, c.high, 3, 1});
    const std::vector<int32_t> noisy =
        bounce({5, 4096, c.low, c.high, 3, 1, 0, 100, 100, 1, c.amount});
    ASSERT_EQ(noisy.size(), clean.size());
    WaveNoise draws;
    for (size_t i = 0; i < clean.size(); ++i) {
      const int64_t r = draws.next();
      const int64_t expected = int64_t{c.amount} * r / 32767 - c.amount / 2;
      // Subtracting modulo 2^32 recovers the term even where the sum wrapped.
      const int64_t term =
          static_cast<int32_t>(static_cast<uint32_t>(noisy[i]) - static_cast<uint32_t>(clean[i]));
      ASSERT_EQ(term, expected) << "sample " << i << ", r = " << r;
    }
  }
}

TEST(Wave, NoiseRepeatsAfterReseed) {
  const BounceParams params = paramsFor({2, 512, 0, 255, 1, 0, 0, 100, 100, 1, 40});
  WaveNoise noise;
  const std::vector<int32_t> first =
      generateWave(params.settings, params.count, params.low, params.high, noise);
  const std::vector<int32_t> unreseeded =
      generateWave(params.settings, params.count, params.low, params.high, noise);
  noise.reseed();
  const std::vector<int32_t> second =
      generateWave(params.settings, params.count, params.low, params.high, noise);
  EXPECT_EQ(render(second), render(first));
  EXPECT_NE(render(unreseeded), render(first));  // the generator advances between tables
}

TEST(WaveNoise, DrawsFifteenBitNumbersAndRestartsOnReseed) {
  WaveNoise noise;
  std::vector<int32_t> first;
  for (int i = 0; i < 10000; ++i) first.push_back(noise.next());
  const auto [lowest, highest] = std::minmax_element(first.begin(), first.end());
  EXPECT_GE(*lowest, 0);
  EXPECT_LE(*highest, WaveNoise::kMaxValue);
  EXPECT_LT(*lowest, 100);  // the whole range is used
  EXPECT_GT(*highest, WaveNoise::kMaxValue - 100);

  noise.reseed();
  for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(noise.next(), first[i]) << "draw " << i;
}

// The parameter an operand position sets, as a number, for comparing all of them alike.
int64_t fieldAt(const BounceParams& params, size_t position) {
  const BounceSettings& s = params.settings;
  const int64_t fields[] = {s.shape,        params.count, params.low,   params.high,
                            s.cycles,       s.invert,     s.startAngle, s.startAmplitude,
                            s.endAmplitude, s.noise,      s.noiseAmount};
  return fields[position];
}
constexpr size_t kFieldCount = 11;

TEST(BounceOperands, ClampEachValueAndTouchOnlyTheirOwnParameter) {
  const struct {
    size_t position;
    int32_t value;
    int64_t expected;
  } cases[] = {
      // clang-format off
      {0, 17, 17},         {0, 45, 44},       {0, 1000, 44},    {0, -1, 0},    {0, kMin, 0},  // shape
      {1, 0, 0},           {1, 32767, 32767}, {1, 70000, 4464}, {1, 40000, 0}, {1, 65536, 0}, // count
      {1, -1, 0},          {1, kMax, 0},                                                      // count
      {2, -5, -5},         {2, kMin, kMin},                                                   // low
      {3, 100000, 100000},                                                                    // high
      {4, 0, 1},           {4, 7, 7},         {4, 101, 100},                                  // cycles
      {5, 1, 1},           {5, 2, 0},         {5, -1, 0},                                     // invert
      {6, -1, 0},          {6, 90, 90},       {6, 361, 360},                                  // start angle
      {7, -1, 0},          {7, 0, 0},         {7, 101, 100},                                  // start amplitude
      {8, 50, 50},         {8, 200, 100},                                                     // end amplitude
      {9, 1, 1},           {9, 257, 0},                                                       // noise
      {10, -123, -123},    {10, kMax, kMax},                                                  // noise amount
      // clang-format on
  };
  const BounceParams defaults;
  for (const auto& c : cases) {
    SCOPED_TRACE("operand " + std::to_string(c.position) + " = " + std::to_string(c.value));
    BounceParams params;
    applyBounceOperand(params, c.position, c.value);
    for (size_t position = 0; position < kFieldCount; ++position) {
      const int64_t expected = position == c.position ? c.expected : fieldAt(defaults, position);
      EXPECT_EQ(fieldAt(params, position), expected) << "field " << position;
    }
  }
}

TEST(BounceOperands, PositionsAfterTheEleventhChangeNothing) {
  for (size_t position : {size_t{11}, size_t{12}, size_t{1000}}) {
    SCOPED_TRACE("operand " + std::to_string(position));
    BounceParams params;
    applyBounceOperand(params, position, 1);
    for (size_t field = 0; field < kFieldCount; ++field)
      EXPECT_EQ(fieldAt(params, field), fieldAt(BounceParams{}, field)) << "field " << field;
  }
}

}  // namespace
}  // namespace zendra
