// The window's text box as the export's output: it shows each key as it is written,
// after the window's pending events have had their turn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/text_box_output.h"
#include "platform/winreg_fixture.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx::test {
namespace {

TEST(TextBoxOutput, ShowsEveryKeyPathAfterAnEventPass) {
  auto store = win::OpenRegistryStore(":memory:");
  clsRegistryAccess reg(*store);
  reg.CreateKey("HKCU\\Software\\Demo\\Sub");
  Form1 form;
  FakePlatform platform;
  std::vector<std::string> seen;  // what the box held when each event pass ran
  platform.onDoEvents = [&] { seen.push_back(form.txtCheat.Text()); };
  TextBoxOutput out(form.txtCheat, platform);
  win::test::TempDir dir;
  EXPECT_EQ(reg.ExportToReg("HKCU\\Software\\Demo", dir / "out.reg", &out), 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"", "HKEY_CURRENT_USER\\Software\\Demo"}));
  EXPECT_EQ(form.txtCheat.Text(), "HKEY_CURRENT_USER\\Software\\Demo\\Sub");
}

}  // namespace
}  // namespace zbx::test
