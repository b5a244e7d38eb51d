#include "console.h"

namespace zbx::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace zbx::tool
