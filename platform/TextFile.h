#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BinaryFile.h"

// An output text stream in Windows text mode on every OS: each LF byte it is given reaches the file
// as CR LF and every other byte passes unchanged, so a script file is byte-identical whichever
// system wrote it. Creation failure is returned; a later failed write or close throws FileError.
// Destroyed without Close, which happens only on a path that is already failing, it drops what is
// pending and closes the file quietly.
class TextFile {
 public:
  TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Creates the file, or truncates it when it exists; false when it cannot be created.
  bool Create(const std::string& path);
  // Writes go to the process's standard output.
  void AttachStandardOutput();

  void WriteString(std::string_view text);
  // Writes out what is pending and closes the file.
  void Close();

 private:
  void Flush();

  BinaryFile m_file;
  std::vector<uint8_t> m_pending;  // translated bytes not yet handed to the file
};
