// .reg export of what only our store can hold (the deepest tree it allows, made through the
// class with paths over 260 characters, and a deeper key of an older store file), and to a
// file that cannot grow (a full disk, as a process with a file size limit sees it).
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "registry/export_property.h"
#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

using ExportFromOurStore = RegistryTest;

TEST_F(ExportFromOurStore, TheDeepestAllowedTreeExportsAndADeeperKeyOfAnOlderStoreIsLeftOut) {
  const std::string db = dir / "registry.db";
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
  export_property::SkipRecorder skipped;
  EXPECT_EQ(deep.ExportToReg("HKCU\\1", dir / "deep.reg", &skipped), 0);
  ASSERT_EQ(skipped.keys.size(), 1u);
  EXPECT_NE(skipped.keys.begin()->find("\\2\\OVER"), std::string::npos);
  auto fresh = win::OpenRegistryStore(":memory:");
  clsRegistryAccess restored(*fresh);
  EXPECT_EQ(restored.ImportFromReg(dir / "deep.reg"), 1);
  EXPECT_EQ(restored.ReadDWORD(path, "bottom"), 512);
  EXPECT_EQ(restored.KeyExists(path + "\\Over"), kFalse);
}

TEST_F(ExportFromOurStore, AFileThatStopsGrowingFailsTheExportAndKeepsWhatWasWritten) {
  reg.CreateKeyIfDoesntExists(kTrue);
  for (const char* k : {"A", "B", "C"}) reg.WriteString(std::string("HKCU\\T\\") + k, "n", std::string(50, *k));
  ASSERT_EQ(reg.ExportToReg("HKCU\\T", dir / "whole.reg"), 1);
  const std::string whole = Slurp(dir / "whole.reg");
  // Cut in the header, halfway, one byte before the end, and just fitting.
  for (std::size_t limit : {std::size_t{5}, whole.size() / 2, whole.size() - 1, whole.size()}) {
    const std::string file = dir / (std::to_string(limit) + ".reg");
    const pid_t child = fork();
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
      const rlimit most{limit, limit};
      setrlimit(RLIMIT_FSIZE, &most);
      _exit(reg.ExportToReg("HKCU\\T", file) == 1 ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << limit;
    EXPECT_EQ(WEXITSTATUS(status), limit == whole.size() ? 1 : 0) << limit;
    EXPECT_EQ(Slurp(file), whole.substr(0, limit));
  }
}

}  // namespace
}  // namespace zbx::test
