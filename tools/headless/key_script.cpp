// Key scripts of the headless runs; see key_script.h.
#include "key_script.h"

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

#include <cerrno>
#include <cstdlib>

namespace headless {
namespace {

struct KeyName {
  const char* name;
  int dik;  // 0: no key
};
const KeyName kKeys[] = {
    {"none", 0},          {"up", DIK_UP},      {"down", DIK_DOWN},        {"left", DIK_LEFT},
    {"right", DIK_RIGHT}, {"pgup", DIK_PRIOR}, {"pgdn", DIK_NEXT},        {"home", DIK_HOME},
    {"end", DIK_END},     {"add", DIK_ADD},    {"subtract", DIK_SUBTRACT}};

}  // namespace

bool ParseCount(const std::string& text, long* value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || parsed <= 0 || parsed > 100000000) return false;
  *value = parsed;
  return true;
}

bool ParseKeyScript(const std::string& script, std::vector<KeyStep>* steps, std::string* error) {
  std::vector<KeyStep> parsed;
  size_t pos = 0;
  while (pos < script.size()) {
    size_t end = script.find(' ', pos);
    if (end == std::string::npos) end = script.size();
    const std::string item = script.substr(pos, end - pos);
    pos = end + 1;
    if (item.empty()) continue;
    const size_t star = item.find('*');
    const std::string name = item.substr(0, star);
    long count = 1;
    if (star != std::string::npos && !ParseCount(item.substr(star + 1), &count)) {
      *error = "bad key count: '" + item.substr(star + 1) + "'";
      return false;
    }
    const KeyName* key = nullptr;
    for (const KeyName& k : kKeys)
      if (name == k.name) key = &k;
    if (key == nullptr) {
      *error = "unknown key '" + name + "'";
      return false;
    }
    parsed.push_back({key->dik, count});
  }
  if (parsed.empty()) {
    *error = "--keys names no key";
    return false;
  }
  *steps = parsed;
  return true;
}

long TotalFrames(const std::vector<KeyStep>& steps) {
  long total = 0;
  for (const KeyStep& step : steps) total += step.frames;
  return total;
}

}  // namespace headless
