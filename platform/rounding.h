#pragma once
// The one conversion from fractional to whole numbers: nearest, ties to even
// (512.5 gives 512, 513.5 gives 514), into the width the caller names.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace zbx {

// Rounds half to even. Out-of-range results wrap nowhere: see RoundToChecked.
inline double RoundHalfEven(double v) { return std::nearbyint(v); }  // default FE_TONEAREST

template <typename Int>
std::optional<Int> RoundToChecked(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  const double r = RoundHalfEven(v);
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(r);
}

// For values that cannot leave the range in play (coordinates, speeds): clamps.
template <typename Int>
Int RoundTo(double v) {
  if (std::isnan(v)) return 0;
  const double r = RoundHalfEven(v);
  if (r <= static_cast<double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
  if (r >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
  return static_cast<Int>(r);
}

}  // namespace zbx
