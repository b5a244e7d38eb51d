#pragma once
// The tool's edge to its caller, which differs between the platforms.
#include <string>
#include <vector>

namespace zbx::tool {

// The command-line arguments, without the program's name, as UTF-8. On Windows they are
// read from the UTF-16 command line, and standard output and error are set up to pass
// the tool's UTF-8 bytes unchanged: no CR is put before LF, and a console shows UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace zbx::tool
