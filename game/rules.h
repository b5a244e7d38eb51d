#pragma once
// Constants of the game's rules.
#include <cstdint>

#include "window/control.h"

namespace zbx::rules {

constexpr int kStartLifes = 25;
constexpr std::int32_t kMaxScore = 99999;
constexpr double kLaunchTop = 840;
constexpr double kExplosionTop = 6840;
constexpr std::int32_t kMinSpeed = 80;
constexpr std::int32_t kMaxSpeed = 480;
constexpr std::int32_t kShownSpeedOffset = 120;  // the player sees Speed + 120 m/h
constexpr std::int16_t kCheatMinSpeed = 200;
constexpr std::int16_t kCheatMaxSpeed = 600;
constexpr int kRedLifesLimit = 10;  // 10 or fewer lives show red
constexpr int kUnlimitedLifes = 100;

// Catch geometry, in twips.
constexpr double kBasketDepth = 50;
constexpr std::int16_t kObjectDepth = 240;
constexpr std::int16_t kSideOffset = 120;

// imlPlanets: 1..14 planets, 15 the explosion, 16 a transformed object.
constexpr int kPlanetImages = 14;
constexpr int kExplosionImage = 15;
constexpr int kTransformedImage = 16;

// The row of the scoreboard that the game just ended entered.
constexpr Rgb kRecordedRow = palette::kLilac;

constexpr int kCatchSound = 1;
constexpr int kBonusSound = 2;
constexpr int kExplosionSound = 3;

}  // namespace zbx::rules
