// Linked into every GoogleTest program: when EF_REQUIRE_ALL=1 (a run that
// installed everything: ./test.sh, CI), a test case that skips fails
// instead, unless it is one of the skips by design listed in
// tests/skips_by_design.txt. A missing display or device must not turn a
// broken layer into a green run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

namespace {

std::set<std::string> SkipsByDesign() {
  std::set<std::string> names;
  std::ifstream file(EF_SKIPS_BY_DESIGN_FILE);
  std::string line;
  while (std::getline(file, line))
    if (!line.empty() && line[0] != '#') names.insert(line);
  return names;
}

class RequireAll : public ::testing::EmptyTestEventListener {
 public:
  // Called before the result is printed (GoogleTest ends a test in the
  // listeners' reverse order), and outside GoogleTest's lock, so a failure
  // added here turns the skip into a failure.
  void OnTestEnd(const ::testing::TestInfo& test) override {
    if (!test.result()->Skipped()) return;
    const std::string name = std::string(test.test_suite_name()) + "." + test.name();
    if (m_allowed.count(name)) return;
    ADD_FAILURE() << name << " skipped under EF_REQUIRE_ALL=1, and it is not a skip by design "
                  << "(tests/skips_by_design.txt)";
  }

 private:
  const std::set<std::string> m_allowed = SkipsByDesign();
};

const bool s_registered = [] {
  const char* value = getenv("EF_REQUIRE_ALL");
  if (value != nullptr && strcmp(value, "1") == 0)
    ::testing::UnitTest::GetInstance()->listeners().Append(new RequireAll);
  return true;
}();

}  // namespace
