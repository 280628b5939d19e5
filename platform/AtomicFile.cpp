#include "platform/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace lumetra {

std::string writeFileAtomically(const std::string& path, const std::function<int(int fd)>& writeContent) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string tempName = (folder / ("." + target.filename().string() + ".XXXXXX")).string();

  const int fd = ::mkstemp(tempName.data());
  if (fd < 0) return "cannot create a file in " + folder.string() + ": " + std::strerror(errno);

  // mkstemp makes the file private; give it the mode a plain create would
  // (or the mode of the file it replaces).
  struct stat existing {};
  mode_t mode = 0;
  if (::stat(path.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  int error = writeContent(fd);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempName.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempName.c_str());
    return "cannot write " + path + ": " + std::strerror(error);
  }
  return {};
}

std::string writeFileAtomically(const std::string& path, std::string_view content) {
  return writeFileAtomically(path, [content](int fd) {
    std::size_t done = 0;
    while (done < content.size()) {
      const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
      if (written < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += static_cast<std::size_t>(written);
    }
    return 0;
  });
}

}  // namespace lumetra
