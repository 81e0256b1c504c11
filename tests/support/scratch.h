// Test fixture: every test runs in its own empty folder with the global state at its start
// values, as a fresh run of the program would find it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "driver/control.h"
#include "state/arrays.h"
#include "state/log.h"

namespace qorva::test {

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

 private:
  std::filesystem::path old_, dir_;
  static inline int counter_ = 0;
};

}  // namespace qorva::test
