#include "input/data_udp.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "lvgl.h"

namespace {

int s_udp_current_fd = -1;

} // namespace

int udp_get_fd(int port, in_addr_t bind_addr) {
    if (s_udp_current_fd != -1) {
        LV_LOG_ERROR("exist A UDP connect");
        return -1;
    }
    s_udp_current_fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (s_udp_current_fd == -1) {
        const int err = errno;
        LV_LOG_ERROR("cannot create the UDP socket: %s", strerror(err));
        return -1;
    }

    sockaddr_in addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    addr.sin_addr.s_addr = bind_addr;
    // A configured address may come up only after the program has started (a DHCP lease at boot): bind
    // to it anyway, and take messages as soon as the board has it.
    if (bind_addr != htonl(INADDR_ANY)) {
        const int on = 1;
        setsockopt(s_udp_current_fd, IPPROTO_IP, IP_FREEBIND, &on, sizeof on);
    }
    // Without the port the socket stays open and silent; the program runs on without input.
    if (bind(s_udp_current_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = errno;
        char where[INET_ADDRSTRLEN] = "?";
        inet_ntop(AF_INET, &addr.sin_addr, where, sizeof where);
        LV_LOG_ERROR("cannot bind UDP port %d on %s: %s", port, where, strerror(err));
    }
    return s_udp_current_fd;
}
