// Transact: the calls of its body are committed together, undone together when the body
// throws, and a call of the body that fails undoes only itself. Bulk: committed whatever
// its body does, and a long one lets other writers in. Snapshot: one state throughout.
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

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

TEST_F(Transaction, ABulkIsCommittedWhenItReturnsWhateverItsBodyDid) {
  RegistryApi& r = *onFile;
  HKEY key = 0;
  ASSERT_EQ(r.RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
  std::string midway;
  EXPECT_EQ(r.Bulk([&] {
    Set(r, key, "a", "1");
    midway = SeenFromOutside();
    return ERROR_ACCESS_DENIED;  // a body that fails keeps what it did
  }), ERROR_ACCESS_DENIED);
  EXPECT_EQ(midway, "error 2,error 2");
  EXPECT_EQ(SeenFromOutside(), "1,error 2");
  EXPECT_THROW(r.Bulk([&]() -> LONG {
    Set(r, key, "b", "2");
    throw std::runtime_error("stopped");
  }), std::runtime_error);
  EXPECT_EQ(SeenFromOutside(), "1,2");
  // Inside an atomic scope a bulk is part of it, undone with it; an atomic scope inside a
  // bulk is still undone whole, and the rest of the bulk kept.
  EXPECT_THROW(r.Transact([&]() -> LONG {
    r.Bulk([&] { return Set(r, key, "a", "undone"); });
    throw std::runtime_error("undone");
  }), std::runtime_error);
  EXPECT_EQ(r.Bulk([&] {
    Set(r, key, "a", "3");
    EXPECT_THROW(r.Transact([&]() -> LONG {
      Set(r, key, "b", "undone");
      throw std::runtime_error("undone");
    }), std::runtime_error);
    return ERROR_SUCCESS;
  }), ERROR_SUCCESS);
  EXPECT_EQ(SeenFromOutside(), "3,2");
  r.RegCloseKey(key);
}

TEST_F(Transaction, ASnapshotSeesOneStateAndHoldsNoWriterUp) {
  RegistryApi& r = *onFile;
  HKEY key = 0;
  ASSERT_EQ(r.RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
  Set(r, key, "a", "1");
  auto other = OpenRegistryStore(file);
  HKEY theirs = 0;
  ASSERT_EQ(other->RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_ALL_ACCESS, &theirs), ERROR_SUCCESS);
  std::string seen;
  r.Snapshot([&] {
    seen = Get(r, key, "a") + "," + Names(r, key, true)[0];
    EXPECT_EQ(Set(*other, theirs, "a", "2"), ERROR_SUCCESS);
    EXPECT_EQ(Set(*other, theirs, "b", "new"), ERROR_SUCCESS);
    EXPECT_EQ(other->RegDeleteKeyA(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
    seen += " " + Get(r, key, "a") + "," + std::to_string(Names(r, key, true).size()) + "," + Names(r, HKEY_CURRENT_USER)[1];
    return ERROR_SUCCESS;
  });
  EXPECT_EQ(seen, "1,a 1,1,Software");
  EXPECT_EQ(Get(r, key, "a") + "," + std::to_string(Names(r, key, true).size()), "2,2");
  EXPECT_EQ(Names(r, HKEY_CURRENT_USER), Strings{"K"});
  other->RegCloseKey(theirs);
  r.RegCloseKey(key);
}

// A bulk that runs on commits as it goes; another writer, waiting its turn, gets in meanwhile.
TEST_F(Transaction, ALongBulkLetsAnotherWriterIn) {
  RegistryApi& r = *onFile;
  HKEY key = 0;
  ASSERT_EQ(r.RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
  std::atomic<bool> otherDone{false};
  LONG otherResult = -1;
  bool doneDuringBulk = false;
  const LONG result = r.Bulk([&] {
    std::thread other([&] {
      auto second = OpenRegistryStore(file);
      HKEY theirs = 0;
      second->RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_WRITE, &theirs);
      otherResult = Set(*second, theirs, "other", "in");
      second->RegCloseKey(theirs);
      otherDone = true;
    });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int i = 0; !otherDone && std::chrono::steady_clock::now() < limit; ++i)
      Set(r, key, ("v" + std::to_string(i % 500)).c_str(), std::to_string(i));
    doneDuringBulk = otherDone;
    other.join();
    return ERROR_SUCCESS;
  });
  EXPECT_EQ(result, ERROR_SUCCESS);
  EXPECT_TRUE(doneDuringBulk) << "the other writer waited for the whole bulk";
  EXPECT_EQ(otherResult, ERROR_SUCCESS);
  EXPECT_EQ(GetAt(r, "K", "other"), "in");
  EXPECT_EQ(Names(r, key, true).size(), 501u);
  r.RegCloseKey(key);
}

}  // namespace
}  // namespace zbx::win::test
