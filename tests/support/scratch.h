// Test fixture: every test runs in its own empty folder with the global state at its start
// values, as a fresh run of the program would find it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>

#include <unistd.h>

#include "driver/control.h"
#include "state/arrays.h"
#include "state/log.h"

namespace qorva::test {

// Runs f; the status of the run's end, or 1000 when it returned.
template <class F>
int endStatus(F f) {
  try {
    f();
  } catch (const RunEnd& e) {
    return e.status;
  }
  return 1000;
}

// A control text of a table and how its scan ends: the status of the run's end (1000 when the
// text is read through) and the whole text `boogie` then holds.
struct Refusal {
  std::string text;
  int status;
  std::string message;
};

// A control text that is read through, and the checks of what it stored.
struct Accepted {
  std::string text;
  std::function<void()> expect;
};

// A control text that is read through and the value it leaves in one setting.
template <class T>
struct Stored {
  const char* text;
  T* target;
  T expected;
};

class Scratch : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("qorva-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    SetArraysZero();
    setDefaults();
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }

  static void write(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }
  static std::string read(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // Runs the scan over a control text (defaults already set); returns the status of the run's
  // end, or 1000 when the text was read without ending the run.
  static int scan(const std::string& text) {
    try {
      ControlInput in(text);
      scanControl(in);
    } catch (const RunEnd& e) {
      return e.status;
    }
    return 1000;
  }
  static std::string log() { return read("boogie"); }

  // Each case of a table starts from the defaults with no log.
  static void fresh() {
    setDefaults();
    std::filesystem::remove("boogie");
  }

  // What a table passes when its cases need nothing beyond the fresh start, or no more checks.
  struct Nothing {
    template <class Row>
    void operator()(const Row&) const {}
  };

  // Scans each row's text from a fresh start, after `prepare(row)` has set what the case needs
  // beyond the defaults, and checks the status of the run's end and the whole log; then
  // `check(row)`. A row is a Refusal or any struct with the members text, status and message.
  template <class Rows, class Prepare = Nothing, class Check = Nothing>
  static void expectRefusals(const Rows& rows, Prepare prepare = {}, Check check = {}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.text);
      fresh();
      prepare(row);
      EXPECT_EQ(scan(row.text), row.status);
      EXPECT_EQ(log(), row.message);
      check(row);
    }
  }
  static void expectRefusals(std::initializer_list<Refusal> rows) {
    expectRefusals<std::initializer_list<Refusal>>(rows);
  }

  // Scans each row's text from a fresh start, after `prepare(row)`: it must be read through
  // without a word in the log, then the row's own checks run.
  template <class Rows, class Prepare = Nothing>
  static void expectAccepted(const Rows& rows, Prepare prepare = {}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.text);
      fresh();
      prepare(row);
      EXPECT_EQ(scan(row.text), 1000);
      EXPECT_FALSE(std::filesystem::exists("boogie")) << log();
      row.expect();
    }
  }

  // Scans each row's text from a fresh start: it must be read through and leave its value.
  template <class Rows>
  static void expectStored(const Rows& rows) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.text);
      fresh();
      EXPECT_EQ(scan(row.text), 1000) << log();
      EXPECT_EQ(*row.target, row.expected);
    }
  }

 private:
  std::filesystem::path old_, dir_;
  static inline int counter_ = 0;
};

}  // namespace qorva::test
