#pragma once
// The one error type that every failure of the system travels as.
#include <exception>
#include <string>

namespace tavora {

class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);
  const std::u16string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::u16string message_;
  std::string utf8_;
};

}  // namespace tavora
