#pragma once
// The high-score table in the registry: one scrambled string value.
#include <memory>
#include <string_view>

#include "scores/storage.h"

namespace zbx {

class clsRegistryAccess;

inline constexpr std::string_view kScoresPath = "HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB";
inline constexpr std::string_view kScoresValue = "BIOS config";

class RegistryScoreStorage final : public ScoreStorage {
 public:
  explicit RegistryScoreStorage(std::shared_ptr<clsRegistryAccess> registry);

  HighScoreTable Load() override;
  // Read and write are one transaction of the store.
  std::optional<HighScoreTable> Save(const std::vector<HighScoreEntry>& entries) override;

 private:
  std::shared_ptr<clsRegistryAccess> registry_;
};

}  // namespace zbx
