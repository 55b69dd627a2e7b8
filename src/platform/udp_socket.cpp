// POSIX datagram sockets and getifaddrs for the network endpoints.
#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int UdpOpenSocket()
{
    return socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}

void UdpCloseSocket(int socket)
{
    if (socket >= 0)
        close(socket);
}

bool UdpBind(int socket, int port, bool blocking)
{
    if (socket < 0 || port < 0 || port > 65535)
        return false;
    struct sockaddr_in local;
    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons((uint16_t)port);
    if (bind(socket, (const struct sockaddr*)&local, sizeof local) != 0)
        return false;
    if (!blocking) {
        int flags = fcntl(socket, F_GETFL, 0);
        if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) != 0)
            return false;
    }
    return true;
}

bool UdpResolve(const char* peer, bool numericOnly, UdpAddress* address)
{
    if (!peer || !peer[0])
        return false;
    struct addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    if (numericOnly)
        hints.ai_flags = AI_NUMERICHOST;
    struct addrinfo* found = nullptr;
    if (getaddrinfo(peer, nullptr, &hints, &found) != 0 || !found)
        return false;
    bool ok = false;
    for (struct addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(struct sockaddr_in)) {
            *address = ((const struct sockaddr_in*)a->ai_addr)->sin_addr.s_addr;
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
}

// Per process: set and cleared by tests and fuzzers only.
static const UdpDetour* gUdpDetour = nullptr;

void UdpSetDetour(const UdpDetour* detour)
{
    gUdpDetour = detour;
}

bool UdpSendTo(int socket, const void* data, size_t size, UdpAddress address, int port)
{
    if (socket < 0)
        return false;
    if (gUdpDetour)
        return gUdpDetour->sendTo(socket, data, size, address, port);
    struct sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons((uint16_t)port);
    ssize_t n = sendto(socket, data, size, MSG_NOSIGNAL, (const struct sockaddr*)&to, sizeof to);
    return n == (ssize_t)size;
}

long UdpReceiveFrom(int socket, void* buffer, size_t capacity, UdpAddress* from)
{
    if (socket < 0)
        return -1;
    if (gUdpDetour)
        return gUdpDetour->receiveFrom(socket, buffer, capacity, from);
    struct sockaddr_in source;
    socklen_t length = sizeof source;
    memset(&source, 0, sizeof source);
    // MSG_TRUNC: the result is the datagram's real length, so one that is
    // too long for the buffer is told apart from one that fits.
    ssize_t n = recvfrom(socket, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT,
                         (struct sockaddr*)&source, &length);
    if (n < 0)
        return -1;
    if (from)
        *from = source.sin_addr.s_addr;
    return (long)n;
}

bool UdpSourceFor(UdpAddress address, int port, UdpAddress* source)
{
    int s = UdpOpenSocket();
    if (s < 0)
        return false;
    struct sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons((uint16_t)port);
    // Connecting a datagram socket only picks the route and the source.
    struct sockaddr_in local;
    socklen_t length = sizeof local;
    memset(&local, 0, sizeof local);
    bool ok = connect(s, (const struct sockaddr*)&to, sizeof to) == 0 &&
              getsockname(s, (struct sockaddr*)&local, &length) == 0 && local.sin_addr.s_addr != 0;
    if (ok)
        *source = local.sin_addr.s_addr;
    close(s);
    return ok;
}

int UdpLocalPort(int socket)
{
    struct sockaddr_in local;
    socklen_t length = sizeof local;
    if (socket < 0 || getsockname(socket, (struct sockaddr*)&local, &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

void UdpAddressText(UdpAddress address, char out[16])
{
    struct in_addr a;
    a.s_addr = address;
    if (!inet_ntop(AF_INET, &a, out, 16))
        out[0] = 0;
}

bool UdpHostName(char* out, size_t size)
{
    if (size == 0)
        return false;
    if (gethostname(out, size) != 0)
        return false;
    out[size - 1] = 0;
    return true;
}

int UdpLocalAddresses(char (*out)[16], int max)
{
    struct ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return -1;
    int count = 0;
    // Two passes: real interfaces first, loopback last.
    for (int loopbackPass = 0; loopbackPass < 2; loopbackPass++) {
        for (struct ifaddrs* a = list; a && count < max; a = a->ifa_next) {
            if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
                continue;
            bool loopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
            if (loopback != (loopbackPass == 1))
                continue;
            UdpAddressText(((const struct sockaddr_in*)a->ifa_addr)->sin_addr.s_addr, out[count]);
            if (out[count][0])
                count++;
        }
    }
    freeifaddrs(list);
    return count;
}
