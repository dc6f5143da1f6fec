#include "linux/replace_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
int WriteAll(int fd, const std::string& text)
{
    for (std::size_t done = 0; done < text.size();)
    {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        done += static_cast<std::size_t>(written);
    }
    return 0;
}
} // namespace

int ReplaceFile(const std::string& path, const std::string& text)
{
    // The temporary name starts with a dot: the textfile collector reads
    // only *.prom, and a crash leaves nothing it would read.
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return EISDIR;
    // Cut so that the temporary name is no longer than the longest name the
    // folder takes: "." before and ".XXXXXX" after.
    std::string pattern = folder + "." + name.substr(0, NAME_MAX - 8) + ".XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = fchmod(fd, 0644) != 0 ? errno : WriteAll(fd, text);
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.data(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.data());
    return error;
}
