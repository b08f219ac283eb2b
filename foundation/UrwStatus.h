// TStatus: the result of an operation that can fail, carrying a message a user understands.
#pragma once

#include <string>
#include <utility>

namespace ramvel {

class [[nodiscard]] TStatus {
 public:
  TStatus() = default;  // success
  static TStatus Ok() { return TStatus(); }
  static TStatus Error(std::string msg) { return TStatus(std::move(msg), true); }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  // Empty on success.
  const std::string& Msg() const { return msg_; }

 private:
  TStatus(std::string msg, bool failed) : msg_(std::move(msg)), failed_(failed) {}
  std::string msg_;
  bool failed_ = false;
};

}  // namespace ramvel
