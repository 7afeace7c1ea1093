// Runs the capture tool (endless-field-capture) as a child process for the
// reliability tests: its exit status and its output; reads the PNG frames it writes; and
// prepares asset folders from the build's generated images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reliability {

struct ToolRun {
  bool exited = false;  // false: killed by a signal (a crash)
  int exitCode = -1;
  int signal = 0;
  std::string out;
  std::string err;
  double seconds = 0.0;
};

// Runs the tool with `args` in `workDir` (stdout/stderr go to files there).
ToolRun RunCapture(const std::vector<std::string>& args, const std::string& workDir);

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes a pixel, top row first

  const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// False (with the reason in *error) when the file is no readable PNG.
bool ReadPng(const std::string& path, Frame* frame, std::string* error);

// A fresh folder under $TMPDIR (or /tmp); RemoveTree deletes it again.
std::string MakeTempDir(const char* tag);
void RemoveTree(const std::string& dir);

// Copies the build's generated pic/ folder and FIGHTER.png into `dir`.
void CopyAssets(const std::string& dir);

// The whole file, or "" when it cannot be read.
std::string ReadText(const std::string& path);

}  // namespace reliability
