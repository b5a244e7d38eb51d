// Transact: the calls of its body are committed together, undone together when the body
// throws, and a call of the body that fails undoes only itself.
#include <stdexcept>

#include "platform/winreg_fixture.h"

namespace zbx::win::test {
namespace {

class Transaction : public RegistryTest {
 protected:
  // The values set in key K of a store on a file, as seen through another connection.
  std::string SeenFromOutside() {
    auto other = OpenRegistryStore(file);
    return GetAt(*other, "K", "a") + "," + GetAt(*other, "K", "b");
  }
  TempDir dir;
  std::string file = dir / "registry.db";
  std::shared_ptr<RegistryApi> onFile = OpenRegistryStore(file);
};

TEST_F(Transaction, BodyIsCommittedWholeOrNotAtAll) {
  RegistryApi& r = *onFile;
  HKEY key = 0;
  ASSERT_EQ(r.RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
  std::string midway;
  EXPECT_EQ(r.Transact([&] {
    Set(r, key, "a", "1");
    midway = SeenFromOutside();  // nothing committed before the body returns
    Set(r, key, "b", "2");
    return ERROR_MORE_DATA;  // the body's own answer is handed back
  }), ERROR_MORE_DATA);
  EXPECT_EQ(midway, "error 2,error 2");
  EXPECT_EQ(SeenFromOutside(), "1,2");

  EXPECT_THROW(r.Transact([&]() -> LONG {
    Set(r, key, "a", "changed");
    r.RegDeleteValueA(key, "b");
    throw std::runtime_error("body failed");
  }), std::runtime_error);
  EXPECT_EQ(SeenFromOutside(), "1,2");
  EXPECT_EQ(Get(r, key, "a"), "1");

  // A call that fails inside the body undoes only its own part; the rest is committed.
  EXPECT_EQ(r.Transact([&] {
    Set(r, key, "a", "3");
    EXPECT_EQ(r.RegDeleteValueA(key, "missing"), ERROR_FILE_NOT_FOUND);
    HKEY sub = 0;
    EXPECT_EQ(r.RegCreateKeyA(key, "Sub", &sub), ERROR_SUCCESS);
    r.RegCloseKey(sub);
    return ERROR_SUCCESS;
  }), ERROR_SUCCESS);
  EXPECT_EQ(SeenFromOutside(), "3,2");
  HKEY sub = 0;
  EXPECT_EQ(r.RegOpenKeyA(key, "Sub", &sub), ERROR_SUCCESS);
  r.RegCloseKey(sub);
  r.RegCloseKey(key);
}

TEST_F(Transaction, TransactionsNestAndAStoreWithoutThemJustRunsTheBody) {
  HKEY key = Create(HKEY_CURRENT_USER, "K");
  EXPECT_EQ(reg.Transact([&] {
    return reg.Transact([&] { return Set(reg, key, "a", "inner"); });
  }), ERROR_SUCCESS);
  EXPECT_EQ(Get(reg, key, "a"), "inner");
  reg.RegCloseKey(key);

  auto unavailable = OpenRegistryStore(file + "/below/registry.db");  // a file is no folder
  int runs = 0;
  unavailable->Transact([&] { return ++runs, ERROR_SUCCESS; });
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace zbx::win::test
