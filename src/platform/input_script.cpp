// The input-script parser: strict, line by line, every value range-checked.
#include "platform/input_script.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t')
      ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

template <typename T>
bool ParseNumber(std::string_view word, T& value) {
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size();
}

bool ParseUpDown(std::string_view word, bool& down) {
  if (word == "down")
    down = true;
  else if (word == "up")
    down = false;
  else
    return false;
  return true;
}

// Fills `msg` from the words after the frame number; returns a reason on failure.
std::string ParseAction(const std::vector<std::string_view>& w, TMessage& msg) {
  const std::string_view what = w[1];
  if (what == "key") {
    bool down = false;
    uint32_t code = 0;
    if (w.size() != 4 || !ParseUpDown(w[2], down)) return "expected 'key down|up CODE'";
    if (!ParseNumber(w[3], code) || code > 255) return "key code must be 0 to 255";
    msg = {down ? Wm::KeyDown : Wm::KeyUp, code, 0};
    return {};
  }
  if (what == "mouse") {
    if (w.size() == 5 && w[2] == "move") {
      uint16_t x = 0, y = 0;
      if (!ParseNumber(w[3], x) || !ParseNumber(w[4], y) || x > 799 || y > 599)
        return "mouse position must be within 0..799 and 0..599";
      msg = {Wm::MouseMove, 0, MouseParam(x, y)};
      return {};
    }
    bool down = false;
    if (w.size() != 4 || !ParseUpDown(w[3], down))
      return "expected 'mouse move X Y' or 'mouse left|right down|up'";
    if (w[2] == "left")
      msg = {down ? Wm::LButtonDown : Wm::LButtonUp, 0, 0};
    else if (w[2] == "right")
      msg = {down ? Wm::RButtonDown : Wm::RButtonUp, 0, 0};
    else
      return "mouse button must be 'left' or 'right'";
    return {};
  }
  if (what == "window") {
    if (w.size() != 3) return "expected 'window close|minimize|restore'";
    if (w[2] == "close")
      msg = {Wm::Close, 0, 0};
    else if (w[2] == "minimize")
      msg = {Wm::Activate, ActivateParam(false, true), 0};
    else if (w[2] == "restore")
      msg = {Wm::Activate, ActivateParam(true, false), 0};
    else
      return "window event must be close, minimize or restore";
    return {};
  }
  return "unknown event '" + std::string(what) + "'";
}

// The notes a recorded script carries in its comments.
void ReadNote(const std::vector<std::string_view>& words, TInputScript& script) {
  if (words.size() != 3 || words[0] != "#") return;
  uint32_t seed = 0;
  if (words[1] == "seed" && ParseNumber(words[2], seed)) script.Seed = seed;
  if (words[1] == "data" && words[2].size() <= 64) script.Data = std::string(words[2]);
}

}  // namespace

std::optional<TInputScript> ParseInputScript(std::string_view text, TScriptError& error) {
  TInputScript script;
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> words = SplitWords(line);
    if (!words.empty() && words[0][0] == '#') ReadNote(words, script);
    if (words.empty() || words[0][0] == '#') continue;
    TScriptEvent event;
    std::string reason;
    if (words.size() < 2)
      reason = "expected 'FRAME EVENT ...'";
    else if (!ParseNumber(words[0], event.Frame))
      reason = "frame must be a whole number";
    else if (!script.Events.empty() && event.Frame < script.Events.back().Frame)
      reason = "frames must not decrease";
    else
      reason = ParseAction(words, event.Msg);
    if (!reason.empty()) {
      error = {lineNumber, reason};
      return std::nullopt;
    }
    script.Events.push_back(event);
  }
  return script;
}

void TInputRecording::Add(uint64_t frame, const TMessage& msg) {
  std::string event;
  switch (msg.Message) {
    case Wm::MouseMove: {
      // A window larger than the frame, or a captured pointer outside it (a negative
      // position), reports moves no script line can hold: they are kept at the frame's edge.
      const auto coordinate = [](uint32_t half, int last) {
        return std::to_string(std::clamp(int{static_cast<int16_t>(half)}, 0, last));
      };
      event = "mouse move " + coordinate(msg.LParam & 0xFFFF, 799) + " " +
              coordinate(msg.LParam >> 16, 599);
      break;
    }
    case Wm::LButtonDown:
    case Wm::LButtonUp:
    case Wm::RButtonDown:
    case Wm::RButtonUp:
      event = std::string("mouse ") +
              (msg.Message == Wm::LButtonDown || msg.Message == Wm::LButtonUp ? "left" : "right") +
              (msg.Message == Wm::LButtonDown || msg.Message == Wm::RButtonDown ? " down" : " up");
      break;
    case Wm::KeyDown:
    case Wm::KeyUp:
      if (msg.WParam > 255) return;
      event = std::string("key ") + (msg.Message == Wm::KeyDown ? "down " : "up ") +
              std::to_string(msg.WParam);
      break;
    case Wm::Activate: {
      // Only minimizing matters to the game; a focus change alone is left out.
      const bool minimized = (msg.WParam >> 16) != 0;
      if (minimized == Minimized) return;
      Minimized = minimized;
      event = minimized ? "window minimize" : "window restore";
      break;
    }
    case Wm::Close:
      event = "window close";
      break;
    default:
      return;
  }
  Text += std::to_string(frame) + " " + event + "\n";
}
