// Which virtual key codes keys get.
#include <gtest/gtest.h>


#include "window/qt/key_map.h"

namespace zbx::qt {
namespace {

TEST(KeyMap, KeysGetTheirVirtualKeyCodes) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int vk;
  } cases[] = {
      {Qt::Key_A, {}, 65},      {Qt::Key_0, {}, 48},       {Qt::Key_F1, {}, 112},     {Qt::Key_F12, {}, 123},
      {Qt::Key_Period, {}, 190}, {Qt::Key_Exclam, Qt::ShiftModifier, 49},  {Qt::Key_unknown, {}, 0},
      {Qt::Key_Eacute, {}, 0},  {Qt::Key_5, Qt::KeypadModifier, 101},     {Qt::Key_Minus, Qt::KeypadModifier, 109},
      {Qt::Key_Enter, Qt::KeypadModifier, 13},
  };
  for (const auto& c : cases) EXPECT_EQ(VirtualKey(c.key, c.mods), c.vk) << c.key;
}

}  // namespace
}  // namespace zbx::qt
