// main() for the Linux build: hands the process to the program's WinMain with
// the command-line tail (the arguments after the program name, joined by
// spaces; Windows' quoting of arguments with spaces is not rebuilt).
// exit() rather than return so that globals' destructors run after WinMain,
// as they do when a Windows program's WinMain returns.
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

int main(int argc, char** argv) {
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  // WinMain may write into its command line, so it gets a buffer of its own.
  static std::vector<char> commandLine;
  commandLine.assign(tail.begin(), tail.end());
  commandLine.push_back('\0');
  std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT));
}
