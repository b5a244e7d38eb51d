// The window as laid out: geometry and start state by control family, the control
// arrays, the help text and the image list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "window/form1.h"

namespace zbx {
namespace {

TEST(Layout, EveryNamedControlIsBuiltAndOwnedByTheWindow) {
  Form1 f;
  EXPECT_EQ(f.Caption(), "Zorbanix!");
  EXPECT_EQ(&f.Frame1, f.Find("Frame1"));
  EXPECT_EQ(&f.txtCheat, f.Find("txtCheat"));
  EXPECT_EQ(f.lblNew.container, &f.Frame1);
  EXPECT_EQ(f.lblOK.container, &f.frameNewGame);
  EXPECT_EQ(f.Find("nothing"), nullptr);
}

}  // namespace
}  // namespace zbx
