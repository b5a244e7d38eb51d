#pragma once
// The registry a test works on: on Linux a fresh store of our own, in memory; on Windows
// the system registry (under Wine, the test run's own prefix), with what a test adds
// below the roots removed when its store object goes. The same tests run on both.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/winreg.h"

namespace zbx::test {

#ifdef _WIN32
inline constexpr bool kSystemRegistry = true;
#else
inline constexpr bool kSystemRegistry = false;
#endif

std::shared_ptr<win::RegistryApi> OpenTestStore();
// Handles opened through a test store and not closed yet; roots are not counted (on
// Windows none are: see test_store_win32.cpp).
std::size_t OpenHandleCount(win::RegistryApi& store);
// Whether the tests run under Wine (whose quirks some tests name).
bool UnderWine();

// Runs a program with its arguments (UTF-8) and NAME=VALUE settings added to its
// environment, its standard output and error going to the files named; returns its exit
// status, or -1 when it could not be run or did not exit.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment, const std::string& outFile,
               const std::string& errFile);

}  // namespace zbx::test
