#include "capture_error.hpp"

#include <cerrno>
#include <cstring>

namespace capture {

std::string describe_errno(const std::string& path, int err) {
    switch (err) {
        case ENOENT:
            return path + ": no such file or device";
        case EACCES:
        case EPERM:
            return path + ": permission denied";
        case ENOSPC:
            return path + ": disk full";
        case EDQUOT:
            return path + ": disk quota exceeded";
        case EISDIR:
            return path + ": is a directory";
        case EBUSY:
            return path + ": device busy (another program has it open)";
        default:
            return path + ": " + std::strerror(err);
    }
}

}  // namespace capture
