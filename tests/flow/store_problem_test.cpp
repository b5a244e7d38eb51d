// Start-up on a store that cannot keep anything: one line on stderr says why nothing
// will be stored.
#include <sys/stat.h>

#include "platform/winreg_fixture.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"
#include "scores/scramble.h"
#include "support/flow_fixture.h"

namespace zbx::test {
namespace {

class StoreProblem : public FlowTest {
 protected:
  std::string LoadOn(const std::string& path) {
    store = win::OpenRegistryStore(path);
    game.registryStore = store.get();
    testing::internal::CaptureStderr();
    Load();
    return testing::internal::GetCapturedStderr();
  }
  win::test::TempDir dir;
};

TEST_F(StoreProblem, AReadOnlyStoreIsReadAndSaysThatNothingNewIsStored) {
  {
    auto writable = win::OpenRegistryStore(dir / "registry.db");
    clsRegistryAccess r(*writable);
    r.CreateKeyIfDoesntExists(kTrue);
    r.WriteString(std::string(kScoresPath), std::string(kScoresValue), ScrambleText("Zed.500"));
  }
  ::chmod((dir / "registry.db").c_str(), 0400);
  EXPECT_EQ(LoadOn(dir / "registry.db"), "zorbanix: the registry store " + dir / "registry.db" +
                                             " is read-only (the file is read-only); the scoreboard will not be stored\n");
  EXPECT_EQ(game.s.HighScores(1), (HighScoreEntry{500, "Zed"}));
  EXPECT_EQ(LoadOn(":memory:"), "") << "a usable store says nothing";
  EXPECT_EQ(clsRegistryAccess(*store).ValueExists(std::string(kScoresPath), std::string(kScoresValue)), kFalse)
      << "a first run writes nothing";
}

}  // namespace
}  // namespace zbx::test
