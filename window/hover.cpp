#include "window/hover.h"

#include "window/form1.h"

namespace zbx {

namespace {

void Light(Control& c) { c.SetBackColor(kButtonHover); }
void Dim(Control& c) { c.SetBackColor(kButtonNormal); }

void DimTopBar(Form1& f) {
  Dim(f.lblNew);
  Dim(f.lblStart);
  Dim(f.lblPause);
}

}  // namespace

void lblNew_MouseMove(Form1& f) {
  Light(f.lblNew);
  Dim(f.lblStart);
  Dim(f.lblPause);
}

void lblPause_MouseMove(Form1& f) {
  Light(f.lblPause);
  Dim(f.lblNew);
  Dim(f.lblStart);
}

void lblStart_MouseMove(Form1& f) {
  Light(f.lblStart);
  Dim(f.lblNew);
  Dim(f.lblPause);
}

void lblOK_MouseMove(Form1& f) {
  Light(f.lblOK);
  Dim(f.lblCancel);
}

void lblCancel_MouseMove(Form1& f) {
  Light(f.lblCancel);
  Dim(f.lblOK);
}

void Frame1_MouseMove(Form1& f) { DimTopBar(f); }

void ResetHover(Form1& f) {
  DimTopBar(f);
  Dim(f.lblOK);
  Dim(f.lblCancel);
}

void frameNewGame_MouseMove(Form1& f) { ResetHover(f); }
void lblLifes_MouseMove(Form1& f) { ResetHover(f); }
void lblScore_MouseMove(Form1& f) { ResetHover(f); }

void BindHover(Form1& f) {
  const auto bind = [&f](Control& c, void (*handler)(Form1&)) {
    c.on.MouseMove = [&f, handler](std::int16_t, std::int16_t, float, float) { handler(f); };
  };
  bind(f.lblNew, lblNew_MouseMove);
  bind(f.lblPause, lblPause_MouseMove);
  bind(f.lblStart, lblStart_MouseMove);
  bind(f.lblOK, lblOK_MouseMove);
  bind(f.lblCancel, lblCancel_MouseMove);
  bind(f.Frame1, Frame1_MouseMove);
  bind(f.frameNewGame, frameNewGame_MouseMove);
  bind(f.lblLifes, lblLifes_MouseMove);
  bind(f.lblScore, lblScore_MouseMove);
  f.on.MouseMove = [&f](std::int16_t, std::int16_t, float, float) { ResetHover(f); };
}

}  // namespace zbx
