#include "install/SetupCommandLine.h"

namespace setup {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool StartsWithSwitch(std::u16string_view text, std::u16string_view name) {
  if (text.size() < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (Upper(text[i]) != name[i]) return false;
  return true;
}

std::u16string_view TrimmedEnd(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// One word up to a blank outside quotes, with its quotes removed.
std::u16string NextWord(std::u16string_view& rest) {
  std::u16string word;
  bool quoted = false;
  std::size_t i = 0;
  for (; i < rest.size(); ++i) {
    const char16_t c = rest[i];
    if (c == u'"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && IsBlank(c)) break;
    word += c;
  }
  rest.remove_prefix(i);
  return word;
}

}  // namespace

SetupCommand ParseSetupCommand(std::u16string_view arguments) {
  SetupCommand command;
  std::u16string_view rest = arguments;
  for (;;) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) break;
    if (StartsWithSwitch(rest, u"/D=")) {
      // The rest of the line, blanks and all: nothing may follow it.
      const std::u16string_view folder = TrimmedEnd(rest.substr(3));
      if (folder.empty()) command.valid = false;
      command.destination = std::u16string(folder);
      break;
    }
    const std::u16string word = NextWord(rest);
    if (word.size() == 2 && StartsWithSwitch(word, u"/S")) {
      command.silent = true;
    } else if (word.size() == 15 && StartsWithSwitch(word, u"/ALLOWDOWNGRADE")) {
      command.allowDowngrade = true;
    } else if (word == u"/?") {
      command.usage = true;
    } else if (StartsWithSwitch(word, u"/D=")) {
      // Quoted whole, as some callers pass it: still the last word.
      while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
      if (word.size() == 3 || !rest.empty()) command.valid = false;
      command.destination = word.substr(3);
      break;
    } else if (StartsWithSwitch(word, u"/LOG=") && word.size() > 5) {
      command.logFile = word.substr(5);
    } else {
      command.valid = false;
    }
  }
  return command;
}

std::u16string_view ArgumentsOf(std::u16string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine.front() == u'"') {
    const std::size_t closing = commandLine.find(u'"', 1);
    i = closing == std::u16string_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  }
  return commandLine.substr(i);
}

}  // namespace setup
