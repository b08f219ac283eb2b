// Entry point of ramvel-cli; no exception leaves it.
#include <exception>
#include <iostream>
#include <streambuf>
#include <string>

#include "cli/UrwCli.h"
#include "foundation/UrwTextRec.h"

namespace {

// Passes text on line by line with control characters escaped: names read from board files
// reach the terminal in messages and listings, and must not drive it.
class TEscapingBuf : public std::streambuf {
 public:
  explicit TEscapingBuf(std::streambuf* to) : to_(to) {}
  ~TEscapingBuf() override { sync(); }

 protected:
  int_type overflow(int_type c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    line_ += static_cast<char>(c);
    if (c == '\n') sync();
    return c;
  }
  int sync() override {
    const std::string out = ramvel::EscapeControls(line_, true);
    line_.clear();
    to_->sputn(out.data(), static_cast<std::streamsize>(out.size()));
    return to_->pubsync();
  }

 private:
  std::streambuf* to_;
  std::string line_;
};

}  // namespace

int main(int argc, char** argv) {
  TEscapingBuf outBuf(std::cout.rdbuf()), errBuf(std::cerr.rdbuf());
  std::ostream out(&outBuf), err(&errBuf);
  try {
    return ramvel::cli::CliMain(ramvel::cli::TArgs(argv + 1, argv + argc), out, err);
  } catch (const std::exception& e) {
    err << "ramvel-cli: " << e.what() << "\n";
  } catch (...) {
    err << "ramvel-cli: unexpected failure\n";
  }
  return 2;
}
