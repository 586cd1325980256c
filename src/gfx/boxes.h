// Message boxes: FatalBox reports a failure and ends the program, NoticeBox only informs.
// Texts use single carriage returns as line breaks, as the boxes have always shown them.
#pragma once

#include <string>
#include <string_view>

// Thrown by FatalBox once the box was shown and the display closed; main() catches it
// and leaves through the normal exit path with this code, so every owner frees its data.
struct TProgramExit {
  int Code = 1;
};

// Captions, texts and file names are short strings: anything longer is cut at 255.
std::string ShortString(std::string_view text);

[[noreturn]] void FatalBox(std::string_view caption, std::string_view text);
void NoticeBox(std::string_view caption, std::string_view text);
