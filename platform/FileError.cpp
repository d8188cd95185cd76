#include "platform/FileError.h"

namespace platform {

namespace {

std::string Describe(std::string_view operation, const std::string& path, const std::string& osError) {
  std::string text = "Cannot ";
  text += operation;
  text += ' ';
  text += path;
  text += ": ";
  text += osError;
  return text;
}

}  // namespace

FileError::FileError(std::string_view operation, const std::string& path, const std::string& osError)
    : std::runtime_error(Describe(operation, path, osError)), m_path(path), m_osError(osError) {}

}  // namespace platform
