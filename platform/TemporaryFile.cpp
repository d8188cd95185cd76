#include "platform/TemporaryFile.h"

#include <utility>

#include "platform/FileError.h"

TemporaryFile::~TemporaryFile() {
  if (m_strPath.empty()) return;
  // Only reached on a path that is already failing, whose own error is the one to report.
  try {
    m_file.Close();
  } catch (const FileError&) {
    // The handle is released even when closing fails, so deleting is still worth a try.
  }
  try {
    BinaryFile::Remove(m_strPath);
  } catch (const FileError&) {
  }
}

bool TemporaryFile::Create(const std::string& path) {
  if (!m_file.Open(path, BinaryFile::Mode::kCreateReadWrite)) return false;
  m_strPath = path;
  return true;
}

void TemporaryFile::Remove() {
  m_file.Close();
  BinaryFile::Remove(std::exchange(m_strPath, std::string()));
}
