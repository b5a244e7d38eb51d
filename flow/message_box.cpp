#include "flow/message_box.h"

namespace zbx {
namespace {

MsgBoxResult Show(Game& g, std::string_view text, MsgBoxButtons buttons, MsgBoxIcon icon) {
  ++g.modalDepth;
  struct Leave {
    Game& g;
    ~Leave() { --g.modalDepth; }
  } leave{g};
  return g.platform.MsgBox(text, kMsgTitle, buttons, icon);
}

}  // namespace

bool AskYes(Game& g, std::string_view text) {
  return Show(g, text, MsgBoxButtons::YesNo, MsgBoxIcon::Question) == MsgBoxResult::Yes;
}

void Inform(Game& g, std::string_view text) {
  Show(g, text, MsgBoxButtons::OK, MsgBoxIcon::Information);
}

}  // namespace zbx
