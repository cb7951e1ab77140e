#pragma once

#include <stdexcept>
#include <string>

namespace sys {

// Every file failure that reaches the user carries its final text.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Cannot open file %s" with the path as it was given.
class OpenError : public FileError {
 public:
  explicit OpenError(const std::string& path);
};

// "Cannot create file %s" with the path as it was given.
class CreateError : public FileError {
 public:
  explicit CreateError(const std::string& path);
};

// "Stream write error": a write that stored fewer bytes than asked.
class WriteError : public FileError {
 public:
  WriteError();
};

// "Stream read error": a read that returned fewer bytes than the file held
// when it was opened (it shrank meanwhile, or the device failed).
class ReadError : public FileError {
 public:
  ReadError();
};

}  // namespace sys
