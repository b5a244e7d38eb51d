#pragma once
// A text box of the window as the output of a .reg export: before each key the export
// lets pending window events run, then the box shows the key path being written.
#include <string>

#include "platform/services.h"
#include "registry/cls_registry_access.h"
#include "window/control.h"

namespace zbx {

class TextBoxOutput : public RegExportOutput {
 public:
  TextBoxOutput(Control& textBox, Platform& platform) : box_(textBox), platform_(platform) {}
  void DoEvents() override { platform_.DoEvents(); }
  void SetText(const std::string& keyPath) override { box_.SetText(keyPath); }

 private:
  Control& box_;
  Platform& platform_;
};

}  // namespace zbx
