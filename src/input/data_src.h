// The descriptor the event loop reads status messages from.
#pragma once

#include <cstdint>

// Keeps fd as the source (-1: none) and makes it non-blocking.
void data_src_init(int fd);

// Reads one datagram into buf, at most size bytes; buf[size - 1] is always 0 afterwards, so at most
// size - 1 characters of text are kept. Returns the datagram's length (size when it was longer), 0
// for an empty datagram or one from a sender that is not allowed (sender_filter.h; buf is cleared),
// -1 when nothing is waiting or there is no source.
int16_t data_src_read_all(char* buf, int size);

// Called with the text of one datagram, terminated by 0.
typedef void (*data_src_handler_t)(const char* text);

// Reads every datagram waiting on the source, in arrival order, and hands each non-empty one to
// handle; buf is cleared before every read. Returns the number handed over. The socket is
// registered edge-triggered, so one readiness notification has to take everything that is queued.
int data_src_drain(char* buf, int size, data_src_handler_t handle);
