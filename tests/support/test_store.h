#pragma once
// The registry a test works on, and what differs about it between the platforms.
//
// On Linux a test gets a fresh store of our own, in memory. On Windows it gets the system
// registry (under Wine, the registry of the test run's own prefix): it starts with the
// system's keys, and what a test adds below the roots is removed again when its store
// object goes. The same tests run on both, so each proves our store against the real
// registry and the class on the real registry.
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
// Handles opened through a test store and not closed yet; roots are not counted.
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
