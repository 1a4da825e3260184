// Who may put something on the panel: the local address the status socket binds, and the senders
// whose datagrams are read. Both are optional settings from the environment (the service reads them
// from /etc/default/status-display):
//   STATUS_DISPLAY_BIND   one IPv4 address; unset or empty: every local address (0.0.0.0)
//   STATUS_DISPLAY_ALLOW  IPv4 addresses separated by spaces or commas; unset or empty: every sender
// A value that does not read as that is logged as an Error line and replaced by the board itself,
// 127.0.0.1: a typo shuts the network out instead of opening the panel to it.
#pragma once

#include <cstdint>

#include <netinet/in.h>

// Takes both settings from their text; null or blank leaves the default.
void sender_filter_init(const char* bind, const char* allow);

// The address to bind, in network byte order.
in_addr_t sender_filter_bind_address();

// Whether a datagram from `from` may be read. A refused one is counted for sender_filter_report.
bool sender_filter_accepts(const sockaddr_in& from);

// Logs one Warn line with the number of datagrams refused since the last such line, if there were
// any, at most once a minute. `now_ms` is a monotonic millisecond count (the graphics tick).
void sender_filter_report(uint32_t now_ms);
