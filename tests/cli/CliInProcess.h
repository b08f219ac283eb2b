// ramvel-cli's commands run in the test's own process: the exit code and both streams.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/UrwCli.h"

namespace ramvel::test {

struct TCliRun {
  int Exit = -1;
  std::string Out, Err;
};

inline TCliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  TCliRun r;
  r.Exit = cli::CliMain(args, out, err);
  r.Out = out.str();
  r.Err = err.str();
  return r;
}

}  // namespace ramvel::test
