// IPv4 datagram sockets and the machine's own addresses: the operating
// system's side of the network endpoints (src/net builds and parses the
// message bytes).  Every socket is a plain descriptor; -1 is "none".
// Nothing here blocks except a name look-up of UdpResolve.
#pragma once

#include <cstddef>
#include <cstdint>

// An IPv4 address in network byte order, as the sockets keep it.
typedef uint32_t UdpAddress;

// A new datagram socket, or -1.
int UdpOpenSocket();

// Closes a socket made by UdpOpenSocket (-1 is ignored).
void UdpCloseSocket(int socket);

// Binds to every local address at `port`; with `blocking` false the socket
// never waits in UdpReceiveFrom.  False on failure.
bool UdpBind(int socket, int port, bool blocking);

// The first IPv4 address of `peer`: dotted decimal, or (unless
// `numericOnly`) a host name, which may wait for the name service.
bool UdpResolve(const char* peer, bool numericOnly, UdpAddress* address);

// Sends `size` bytes as one datagram; false when the system refuses.
bool UdpSendTo(int socket, const void* data, size_t size, UdpAddress address, int port);

// Takes the oldest waiting datagram into `buffer`.  Returns its whole
// length (which may exceed `capacity`: the rest is dropped), or -1 when none
// is waiting or on an error.  `from` receives the sender's address.
long UdpReceiveFrom(int socket, void* buffer, size_t capacity, UdpAddress* from);

// The local address this machine sends from when it sends to `address`
// (the routing table's choice; nothing is sent).  False when there is no
// route.
bool UdpSourceFor(UdpAddress address, int port, UdpAddress* source);

// The port a socket is bound to (0 when unknown).
int UdpLocalPort(int socket);

// Writes `address` in dotted decimal (16 bytes hold any IPv4 address).
void UdpAddressText(UdpAddress address, char out[16]);

// This machine's host name; false (and errno left as the system set it)
// when it cannot be read.
bool UdpHostName(char* out, size_t size);

// This machine's IPv4 addresses in dotted decimal, those of real network
// interfaces first, then loopback ones; at most `max`.  Returns the count,
// or -1 when the interfaces cannot be listed.
int UdpLocalAddresses(char (*out)[16], int max);

// Tests and fuzzers: while a detour is set, UdpSendTo and UdpReceiveFrom
// call it instead of the system (same contracts), so that scripted
// datagrams reach the session without a network and nothing leaves the
// process.  Sockets are still made and bound.  nullptr: the system again.
struct UdpDetour {
    bool (*sendTo)(int socket, const void* data, size_t size, UdpAddress address, int port);
    long (*receiveFrom)(int socket, void* buffer, size_t capacity, UdpAddress* from);
};
void UdpSetDetour(const UdpDetour* detour);
