// The status-message socket: IPv4 UDP on every local address.
#pragma once

// Creates the socket and binds it to 0.0.0.0:port (the program uses 20001); returns the descriptor.
// Only one socket is ever made: any later call logs "exist A UDP connect" and returns -1.
int udp_get_fd(int port);
