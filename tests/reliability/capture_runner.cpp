// The child process runner, PNG reader and asset copying of capture_runner.h.
#include "capture_runner.h"

#include <fcntl.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace reliability {

ToolRun RunCapture(const std::vector<std::string>& args, const std::string& workDir) {
  ToolRun run;
  const std::string outPath = workDir + "/stdout.txt";
  const std::string errPath = workDir + "/stderr.txt";
  std::vector<std::string> argvStrings;
  argvStrings.push_back(EF_CAPTURE_TOOL);
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(&arg[0]);
  argv.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(workDir.c_str()) != 0) _exit(126);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (pid < 0) return run;

  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exited = WIFEXITED(status);
  run.exitCode = run.exited ? WEXITSTATUS(status) : -1;
  run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  run.out = ReadText(outPath);
  run.err = ReadText(errPath);
  return run;
}

bool ReadPng(const std::string& path, Frame* frame, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    *error = path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  frame->width = static_cast<int>(image.width);
  frame->height = static_cast<int>(image.height);
  frame->rgb.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, frame->rgb.data(), 0, nullptr)) {
    *error = path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

std::string MakeTempDir(const char* tag) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") +
                        "/ef_reliability_" + tag + "_XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) return "";
  return pattern;
}

void RemoveTree(const std::string& dir) {
  std::error_code ignored;
  if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

void CopyAssets(const std::string& dir) {
  namespace fs = std::filesystem;
  const fs::path assets(EF_ASSET_DIR);
  fs::copy(assets / "pic", fs::path(dir) / "pic", fs::copy_options::recursive);
  fs::copy_file(assets / "FIGHTER.png", fs::path(dir) / "FIGHTER.png");
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace reliability
