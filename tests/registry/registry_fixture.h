#pragma once
// A fresh in-memory store per test, seen through a probe, and a class object on it.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "platform/winreg.h"
#include "registry/cls_registry_access.h"
#include "registry/probe_store.h"

namespace zbx::test {

inline constexpr std::int16_t kTrue = clsRegistryAccess::kTrue;
inline constexpr std::int16_t kFalse = clsRegistryAccess::kFalse;

class RegistryTest : public ::testing::Test {
 protected:
  ProbeStore store{win::OpenRegistryStore(":memory:")};
  clsRegistryAccess reg{store};

  // Every operation closes the keys it opened, on success and failure alike.
  void TearDown() override { EXPECT_TRUE(store.open.empty()) << store.open.size() << " key(s) left open"; }

  // Raw bytes straight into the store, bypassing the class.
  void SetRaw(win::HKEY root, const std::string& sub, const std::string& name, win::DWORD type,
              const std::string& bytes) {
    win::HKEY key = 0;
    ASSERT_EQ(store.RegCreateKeyA(root, sub.c_str(), &key), win::ERROR_SUCCESS);
    ASSERT_EQ(store.RegSetValueExA(key, name.c_str(), 0, type,
                                   reinterpret_cast<const win::BYTE*>(bytes.data()),
                                   static_cast<win::DWORD>(bytes.size())),
              win::ERROR_SUCCESS);
    store.RegCloseKey(key);
  }
};

inline std::string Str(const RegValue& v) { return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : "<not a string>"; }

}  // namespace zbx::test
