#include "bench/Floor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kChunk = 131072;

bool HasMglName(const char* path) {
  const size_t length = std::strlen(path);
  return length >= 3 && strcasecmp(path + length - 3, "mgl") == 0;
}

// The compressed header, read in one piece; empty when the framing does not hold.
std::vector<uint8_t> ReadCompressedHeader(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  uint32_t headerLength = 0;
  struct stat status {};
  std::vector<uint8_t> compressed;
  const off_t preamble = HasMglName(path) ? 4 : 8;
  if (read(fd, &headerLength, 4) == 4 && fstat(fd, &status) == 0 && headerLength > preamble &&
      headerLength <= status.st_size) {
    compressed.resize(headerLength - static_cast<size_t>(preamble));
    if (pread(fd, compressed.data(), compressed.size(), preamble) != static_cast<ssize_t>(compressed.size())) {
      compressed.clear();
    }
  }
  close(fd);
  return compressed;
}

// A file beside the recorded game that has no name from the start.
int CreateScratch(const char* path) {
  std::string name = std::string(path) + ".floor.XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd >= 0) unlink(name.c_str());
  return fd;
}

}  // namespace

size_t RunFloor(const char* path, Floor floor) {
  std::vector<uint8_t> compressed = ReadCompressedHeader(path);
  if (compressed.empty()) return 0;
  const int scratch = floor == Floor::kDesign ? CreateScratch(path) : -1;
  if (floor == Floor::kDesign && scratch < 0) return 0;

  z_stream stream{};
  inflateInit2(&stream, -MAX_WBITS);
  stream.next_in = compressed.data();
  stream.avail_in = static_cast<uInt>(compressed.size());
  std::vector<uint8_t> chunk(kChunk);
  std::vector<uint8_t> inMemory;
  size_t total = 0;
  int result = Z_OK;
  do {
    stream.next_out = chunk.data();
    stream.avail_out = kChunk;
    result = inflate(&stream, Z_SYNC_FLUSH);
    const size_t produced = kChunk - stream.avail_out;
    if (floor == Floor::kDesign) {
      if (write(scratch, chunk.data(), produced) != static_cast<ssize_t>(produced)) result = Z_ERRNO;
    } else {
      inMemory.insert(inMemory.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(produced));
    }
    total += produced;
  } while (result == Z_OK && stream.avail_out == 0);
  inflateEnd(&stream);
  compressed = {};

  if (floor == Floor::kDesign) {
    std::vector<uint8_t> header(total);
    if (result != Z_STREAM_END || pread(scratch, header.data(), total, 0) != static_cast<ssize_t>(total)) total = 0;
    close(scratch);
  }
  return result == Z_STREAM_END ? total : 0;
}
