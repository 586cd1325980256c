// fuzz_input_script: the input is an input script. A script the parser accepts must hold
// only events the platform can deliver, in frame order; a refused one must name a line of
// the text and say why.
#include <algorithm>
#include <string_view>

#include "fuzz_support.h"
#include "platform/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  TScriptError error;
  const auto script = ParseInputScript(text, error);
  if (!script) {
    FUZZ_CHECK(error.Line >= 1 && error.Line <= lines);
    FUZZ_CHECK(!error.Reason.empty());
    return 0;
  }
  FUZZ_CHECK(static_cast<int>(script->Events.size()) <= lines);
  uint64_t lastFrame = 0;
  for (const TScriptEvent& event : script->Events) {
    FUZZ_CHECK(event.Frame >= lastFrame);
    lastFrame = event.Frame;
    const TMessage& msg = event.Msg;
    switch (msg.Message) {
      case Wm::KeyDown:
      case Wm::KeyUp:
        FUZZ_CHECK(msg.WParam <= 255 && msg.LParam == 0);
        break;
      case Wm::MouseMove:
        FUZZ_CHECK((msg.LParam & 0xFFFF) <= 799 && (msg.LParam >> 16) <= 599);
        break;
      case Wm::LButtonDown:
      case Wm::LButtonUp:
      case Wm::RButtonDown:
      case Wm::RButtonUp:
      case Wm::Close:
        FUZZ_CHECK(msg.WParam == 0 && msg.LParam == 0);
        break;
      case Wm::Activate:
        FUZZ_CHECK(msg.WParam == ActivateParam(false, true) ||
                   msg.WParam == ActivateParam(true, false));
        break;
      default:
        FuzzFailure(__FILE__, __LINE__, "an event the platform cannot deliver");
    }
  }
  return 0;
}
