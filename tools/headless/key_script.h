// Key scripts of the headless runs: "up*50 left*10 none*5", one DirectInput
// key held for a number of frames per step. Plain C++ on the DIK_* codes, so
// the capture tool's Windows build shares it.
#pragma once

#include <string>
#include <vector>

namespace headless {

// One step of a key script: `dik` (0: no key) held for `frames` frames.
struct KeyStep {
  int dik;
  long frames;
};

// A whole number in 1..100000000; false for anything else.
bool ParseCount(const std::string& text, long* value);

// Parses "up*50 left*10 none*5" (a name alone counts once). Key names: none,
// up, down, left, right, pgup, pgdn, home, end, add, subtract. On failure
// *error says why ("unknown key 'x'", "bad key count: 'x'", "--keys names no
// key") and *steps is untouched.
bool ParseKeyScript(const std::string& script, std::vector<KeyStep>* steps, std::string* error);

long TotalFrames(const std::vector<KeyStep>& steps);

}  // namespace headless
