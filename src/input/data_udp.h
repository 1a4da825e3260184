// The status-message socket: IPv4 UDP, on every local address unless told otherwise.
#pragma once

#include <netinet/in.h>

// Creates the socket and binds it to addr:port (addr in network byte order; the program uses port
// 20001 and 0.0.0.0 unless STATUS_DISPLAY_BIND says otherwise); returns the descriptor. Only one
// socket is ever made: any later call logs "exist A UDP connect" and returns -1.
int udp_get_fd(int port, in_addr_t addr = htonl(INADDR_ANY));
