#pragma once
// Hover highlighting of the label-buttons. There is no "pointer left" event: a button
// lit by its own handler goes back to navy when the pointer moves over a neighbouring
// surface whose handler resets it. The colour is the only record of the highlight.
#include "window/control.h"

namespace zbx {

class Form1;

constexpr Rgb kButtonNormal = palette::kNavy;  // also the design-time colour
constexpr Rgb kButtonHover = palette::kBlue;   // under the pointer

// The pointer-movement handlers; they ignore buttons, shift keys and position.
void lblNew_MouseMove(Form1& form);
void lblPause_MouseMove(Form1& form);
void lblStart_MouseMove(Form1& form);
void lblOK_MouseMove(Form1& form);
void lblCancel_MouseMove(Form1& form);
void Frame1_MouseMove(Form1& form);
void frameNewGame_MouseMove(Form1& form);
void lblLifes_MouseMove(Form1& form);
void lblScore_MouseMove(Form1& form);

// The five resets Form_MouseMove performs first, before anything else it does.
void ResetHover(Form1& form);

// Installs the handlers above into the controls' on.MouseMove, and ResetHover as the
// window's own pointer handler (to be replaced by one that also steers the basket).
void BindHover(Form1& form);

}  // namespace zbx
