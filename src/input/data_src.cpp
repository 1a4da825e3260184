#include "input/data_src.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "input/sender_filter.h"

namespace {

int s_fd = -1;

} // namespace

void data_src_init(int fd) {
    s_fd = fd;
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

int16_t data_src_read_all(char* buf, int size) {
    if (s_fd == -1 || size <= 0) return -1;
    sockaddr_in from{};
    socklen_t from_len = sizeof from;
    const ssize_t n = recvfrom(s_fd, buf, size_t(size), 0, reinterpret_cast<sockaddr*>(&from), &from_len);
    buf[size - 1] = 0;
    if (n >= 0 && !sender_filter_accepts(from)) {
        // Nothing of a refused sender's datagram reaches the parser.
        std::memset(buf, 0, size_t(size));
        return 0;
    }
    return int16_t(n);
}

int data_src_drain(char* buf, int size, data_src_handler_t handle) {
    int handled = 0;
    for (;;) {
        std::memset(buf, 0, size_t(size));
        errno = 0;
        const int16_t n = data_src_read_all(buf, size);
        if (n > 0) {
            handle(buf);
            handled++;
        } else if (n < 0 && errno != EINTR) {
            return handled; // empty (EAGAIN), no source, or a read error
        }
        // An empty datagram carries nothing; the next one may be waiting behind it.
    }
}
