// An object on the process-wide default store keeps that store while it lives, whatever
// replaces the default meanwhile.

#include "registry/registry_fixture.h"

namespace zbx::test {
namespace {

TEST(DefaultStore, AnObjectKeepsItsStoreWhenTheDefaultIsReplaced) {
  std::shared_ptr<win::RegistryApi> first = OpenTestStore();
  const std::weak_ptr<win::RegistryApi> watched = first;
  win::SetDefaultRegistry(std::move(first));
  clsRegistryAccess reg;
  win::SetDefaultRegistry(OpenTestStore());  // the default let go of the first store
  ASSERT_FALSE(watched.expired());
  EXPECT_EQ(&reg.Store(), watched.lock().get());
  EXPECT_NE(reg.WriteString("HKCU", "kept", "yes"), 0);
  EXPECT_EQ(reg.ReadString("HKCU", "kept"), "yes");
  if (!kSystemRegistry) {  // on Windows both are the system registry
    EXPECT_EQ(clsRegistryAccess().ValueExists("HKCU", "kept"), kFalse);
  }
  reg.KillValue("HKCU", "kept");
  win::SetDefaultRegistry(nullptr);
}

}  // namespace
}  // namespace zbx::test
