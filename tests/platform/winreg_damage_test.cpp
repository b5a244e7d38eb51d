// Store files that cannot be used: damaged ones are moved aside and replaced, others
// make every call fail with a code and are left as they are.
#include <functional>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> DamagedCopies(const TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir.path))
    if (entry.path().filename().string().find(".damaged-") != std::string::npos)
      found.push_back(entry.path().string());
  return found;
}

// A file that is no database, and a database whose pages after the first are noise.
void WriteJunk(const std::string& path) { std::ofstream(path, std::ios::binary) << std::string(5000, 'J'); }
void BreakPages(const std::string& path) {
  {
    auto store = OpenRegistryStore(path);
    HKEY key = 0;
    ASSERT_EQ(store->RegCreateKeyA(HKEY_CURRENT_USER, "Data", &key), ERROR_SUCCESS);
    for (int i = 0; i < 200; ++i) Set(*store, key, ("v" + std::to_string(i)).c_str(), std::string(100, 'd'));
  }
  std::string bytes = Slurp(path);
  const std::size_t pageSize = static_cast<unsigned char>(bytes[16]) * 256u + static_cast<unsigned char>(bytes[17]);
  ASSERT_GT(bytes.size(), 3 * pageSize);
  for (std::size_t i = pageSize; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(RegistryDamage, DamagedFilesAreKeptAsideOnceAndAFreshStoreUsed) {
  for (const auto& damage : {std::function<void(const std::string&)>(WriteJunk), std::function(BreakPages)}) {
    TempDir dir;
    const std::string path = dir / "registry.db";
    damage(path);
    const std::string before = Slurp(path);
    testing::internal::CaptureStderr();
    auto store = OpenRegistryStore(path);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(path + " was damaged"), std::string::npos) << said;
    const auto copies = DamagedCopies(dir);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(Slurp(copies[0]) == before) << "the damaged file is kept as it was";
    EXPECT_EQ(GetAt(*store, "Data", "v1"), Error(2));
    ASSERT_EQ(Set(*store, HKEY_CURRENT_USER, "v", "fresh"), ERROR_SUCCESS);
    store.reset();
    testing::internal::CaptureStderr();
    store = OpenRegistryStore(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a sound store opens silently";
    EXPECT_EQ(Get(*store, HKEY_CURRENT_USER, "v"), "fresh");
    EXPECT_EQ(DamagedCopies(dir).size(), 1u);
  }
}

TEST(RegistryDamage, UnopenableFilesAndNewerFormatsFailEveryCallAndStayAsTheyAre) {
  TempDir dir;
  const std::string file = dir / "plain-file", newer = dir / "newer.db";
  std::ofstream(file) << "x";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version = 99;", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string newerBytes = Slurp(newer);
  for (const std::string& path : {dir.path, file + "/registry.db", newer}) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStderr();
    auto store = OpenRegistryStore(path);
    testing::internal::GetCapturedStderr();
    ExpectEveryCallAnswers(*store, HKEY_CURRENT_USER, ERROR_CANTOPEN);
    EXPECT_EQ(store->RegCloseKey(HKEY_CURRENT_USER), ERROR_CANTOPEN);
  }
  EXPECT_TRUE(DamagedCopies(dir).empty());
  EXPECT_EQ(Slurp(file), "x");
  EXPECT_TRUE(Slurp(newer) == newerBytes) << "the newer store was changed";
}

}  // namespace
}  // namespace zbx::win::test
