#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "prefs/CVPrefs.h"

namespace corvela::testing {

// An empty preference store for one test, whose file (should an operation write it) lies in
// the test's temporary folder under a name of its own and is removed afterwards.
class ScratchStore {
 public:
  ScratchStore() : path_(uniquePath()), prefs(path_) {}
  ~ScratchStore() {
    std::remove(path_.c_str());
    std::remove((path_ + ".lock").c_str());
  }
  ScratchStore(const ScratchStore&) = delete;
  ScratchStore& operator=(const ScratchStore&) = delete;

 private:
  static std::string uniquePath() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "none";
    std::replace(name.begin(), name.end(), '/', '_');
    return ::testing::TempDir() + "corvela-" + name + ".prefs";
  }

  std::string path_;

 public:
  CVPrefs prefs;
};

}  // namespace corvela::testing
