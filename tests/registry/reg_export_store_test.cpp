// .reg export of what only our store can hold: the deepest tree it allows, made through
// the class with paths of any length (on Windows a call takes a sub-key path of at most
// 260 characters), and a deeper key that a store file made before the limit may hold.
#include <sqlite3.h>

#include "registry/export_property.h"
#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

class ExportFromOurStore : public RegistryTest {
 protected:
  export_property::SkipRecorder skipped;
};

TEST_F(ExportFromOurStore, TheDeepestAllowedTreeExportsAndADeeperKeyOfAnOlderStoreIsLeftOut) {
  TempDir files;
  const std::string db = files / "registry.db";
  auto onFile = win::OpenRegistryStore(db);
  clsRegistryAccess deep(*onFile);
  std::string path = "HKCU";
  for (int level = 1; level <= win::kMaxKeyDepth; ++level) path += "\\" + std::to_string(level % 10);
  ASSERT_NE(deep.CreateKey(path), 0);
  deep.WriteDWORD(path, "bottom", 512);
  EXPECT_EQ(deep.CreateKey(path + "\\x"), 0);
  // A store written before the limit may hold a deeper key: made here behind its back.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  const std::string sql = "INSERT INTO reg_keys(parent, name, uname, path) SELECT id, 'Over', 'OVER', path || "
                          "'\\OVER' FROM reg_keys ORDER BY length(path) DESC LIMIT 1";
  ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  EXPECT_EQ(deep.ExportToReg("HKCU\\1", files / "deep.reg", &skipped), 0);
  ASSERT_EQ(skipped.keys.size(), 1u);
  EXPECT_NE(skipped.keys.begin()->find("\\2\\OVER"), std::string::npos);
  auto fresh = win::OpenRegistryStore(":memory:");
  clsRegistryAccess restored(*fresh);
  EXPECT_EQ(restored.ImportFromReg(files / "deep.reg"), 1);
  EXPECT_EQ(restored.ReadDWORD(path, "bottom"), 512);
  EXPECT_EQ(restored.KeyExists(path + "\\Over"), kFalse);
}

}  // namespace
}  // namespace zbx::test
