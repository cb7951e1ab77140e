#include "sys/file_errors.h"

namespace sys {

OpenError::OpenError(const std::string& path) : FileError("Cannot open file " + path) {}

CreateError::CreateError(const std::string& path) : FileError("Cannot create file " + path) {}

WriteError::WriteError() : FileError("Stream write error") {}

ReadError::ReadError() : FileError("Stream read error") {}

}  // namespace sys
