// Entry point of ramvel-cli; no exception leaves it.
#include <exception>
#include <iostream>

#include "cli/UrwCli.h"

int main(int argc, char** argv) {
  try {
    return ramvel::cli::CliMain(ramvel::cli::TArgs(argv + 1, argv + argc), std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "ramvel-cli: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "ramvel-cli: unexpected failure\n";
  }
  return 2;
}
