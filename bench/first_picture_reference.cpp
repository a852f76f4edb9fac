// The floor the program's first picture is measured against (bench/first_picture.py): the bytes
// of a .bin recording read with plain read() calls into one buffer, then the lowest and highest
// sample of each channel in each of 800 pixel columns taken with a plain loop. Prints the
// milliseconds it took, and a checksum of the extremes so that the loop cannot be left out.
//
//   first_picture_reference FILE.bin
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: first_picture_reference FILE.bin\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const int fd = open(argv[1], O_RDONLY);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  const auto size = static_cast<size_t>(st.st_size);
  std::vector<char> bytes(size);
  for (size_t got = 0; got < size;) {
    const ssize_t r = read(fd, bytes.data() + got, std::min<size_t>(size - got, size_t{4} << 20));
    if (r <= 0) {
      std::perror(argv[1]);
      return 1;
    }
    got += static_cast<size_t>(r);
  }
  close(fd);
  int16_t channels = 0;
  std::memcpy(&channels, bytes.data() + 12, 2);  // a versioned header: 1..3 channels and the marker
  const int words = channels + 1;
  const auto* frames = reinterpret_cast<const int16_t*>(bytes.data() + 128);
  const int64_t n = static_cast<int64_t>(size - 128) / (2 * words);
  constexpr int kColumns = 800;
  int64_t checksum = 0;
  for (int col = 0; col < kColumns; ++col) {
    int16_t lo[3] = {INT16_MAX, INT16_MAX, INT16_MAX}, hi[3] = {INT16_MIN, INT16_MIN, INT16_MIN};
    for (int64_t i = n * col / kColumns; i < n * (col + 1) / kColumns; ++i)
      for (int k = 0; k < channels; ++k) {
        lo[k] = std::min(lo[k], frames[i * words + k]);
        hi[k] = std::max(hi[k], frames[i * words + k]);
      }
    for (int k = 0; k < channels; ++k) checksum += lo[k] + hi[k];
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.1f %lld\n", ms, static_cast<long long>(checksum));
  return 0;
}
