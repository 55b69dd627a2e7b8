// Layouts, the 16-byte number text and the two endpoints.
#include "net/udp_endpoint.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void AddField(Layout& layout, void* address, FieldType type, uint32_t count)
{
    if (layout.fieldCount >= kMaxFields) {
        layout.overfull = true;
        return;
    }
    layout.fields[layout.fieldCount++] = FieldDescriptor{address, (uint8_t)type, count};
    layout.size += type == kFieldBytes ? count : kSlotSize * count;
}

// The number's text goes into a scratch line first filled with 's'; the
// slot is its first 16 characters, so a longer text is cut (it loses its
// separating space or digits) and a shorter one cannot occur ("%15..." and
// the space give at least 16).
static void CopySlot(const char* text, char slot[kSlotSize])
{
    memcpy(slot, text, kSlotSize);
}

void FormatIntSlot(int32_t value, char slot[kSlotSize])
{
    char scratch[30];
    memset(scratch, 's', sizeof scratch);
    snprintf(scratch, sizeof scratch, "%15d ", value);
    CopySlot(scratch, slot);
}

void FormatFloatSlot(double value, char slot[kSlotSize])
{
    char scratch[30];
    memset(scratch, 's', sizeof scratch);
    snprintf(scratch, sizeof scratch, "%15.7f ", value);
    CopySlot(scratch, slot);
}

bool ParseIntSlot(const uint8_t slot[kSlotSize], int32_t* value)
{
    char text[kSlotSize + 1];
    memcpy(text, slot, kSlotSize);
    text[kSlotSize] = 0;
    char* end = nullptr;
    errno = 0;
    long v = strtol(text, &end, 10);
    if (end == text || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return false;
    *value = (int32_t)v;
    return true;
}

bool ParseFloatSlot(const uint8_t slot[kSlotSize], float* value)
{
    char text[kSlotSize + 1];
    memcpy(text, slot, kSlotSize);
    text[kSlotSize] = 0;
    char* end = nullptr;
    float v = strtof(text, &end);
    if (end == text)
        return false;
    *value = v;
    return true;
}

void EncodeLayout(const Layout& layout, uint8_t* out)
{
    memset(out, 0, layout.size);
    size_t at = 0;
    for (int f = 0; f < layout.fieldCount; f++) {
        const FieldDescriptor& d = layout.fields[f];
        for (uint32_t i = 0; i < d.count && d.type != kFieldBytes; i++) {
            char* slot = (char*)out + at + i * kSlotSize;
            if (d.type == kFieldInts)
                FormatIntSlot(((const int32_t*)d.address)[i], slot);
            else if (d.type == kFieldFloats)
                FormatFloatSlot(((const float*)d.address)[i], slot);
            else
                FormatFloatSlot(((const double*)d.address)[i], slot);
        }
        if (d.type == kFieldBytes) {
            memcpy(out + at, d.address, d.count);
            at += d.count;
        } else {
            at += kSlotSize * d.count;
        }
    }
}

bool DecodeLayout(const Layout& layout, const uint8_t* in)
{
    bool numbers = true;
    size_t at = 0;
    for (int f = 0; f < layout.fieldCount; f++) {
        const FieldDescriptor& d = layout.fields[f];
        if (d.type == kFieldBytes) {
            memcpy(d.address, in + at, d.count);
            at += d.count;
            continue;
        }
        for (uint32_t i = 0; i < d.count; i++) {
            const uint8_t* slot = in + at + i * kSlotSize;
            if (d.type == kFieldInts) {
                numbers &= ParseIntSlot(slot, (int32_t*)d.address + i);
            } else if (d.type == kFieldFloats) {
                numbers &= ParseFloatSlot(slot, (float*)d.address + i);
            } else {
                float v;
                const bool parsed = ParseFloatSlot(slot, &v);
                if (parsed)
                    ((double*)d.address)[i] = v;
                numbers &= parsed;
            }
        }
        at += kSlotSize * d.count;
    }
    return numbers;
}

UdpSender::UdpSender()
    : socket(-1), destination(0), port(0), hasDestination(false), layout(), layoutChanged(true)
{
}

UdpSender::~UdpSender()
{
    UdpCloseSocket(socket);
}

int UdpSender::Open(const char* peer, int peerPort, bool numericOnly)
{
    UdpAddress address;
    if (!UdpResolve(peer, numericOnly, &address))
        return -1;
    if (socket < 0)
        socket = UdpOpenSocket();
    if (socket < 0)
        return -1;
    destination = address;
    port = peerPort;
    hasDestination = true;
    return 1;
}

void UdpSender::Add(void* address, FieldType type, uint32_t count)
{
    AddField(layout, address, type, count);
    layoutChanged = true;
}

int UdpSender::Send()
{
    if (layoutChanged) {
        buffer.assign(layout.size, 0);
        layoutChanged = false;
    }
    if (layout.overfull || layout.size == 0 || !hasDestination)
        return -1;
    EncodeLayout(layout, buffer.data());
    return UdpSendTo(socket, buffer.data(), layout.size, destination, port) ? 1 : -1;
}

UdpReceiver::UdpReceiver() : socket(-1), lastSender(0), layout(), layoutChanged(true), taken(false) {}

UdpReceiver::~UdpReceiver()
{
    UdpCloseSocket(socket);
}

int UdpReceiver::Bind(int port, bool blocking)
{
    if (socket < 0)
        socket = UdpOpenSocket();
    if (socket < 0)
        return -1;
    return UdpBind(socket, port, blocking) ? 1 : -1;
}

void UdpReceiver::Add(void* address, FieldType type, uint32_t count)
{
    AddField(layout, address, type, count);
    layoutChanged = true;
}

int UdpReceiver::Receive()
{
    UdpAddress from = 0;
    if (Take(&from) != 1)
        return -1;
    Store();
    return 1;
}

int UdpReceiver::Take(UdpAddress* from)
{
    if (layoutChanged) {
        // One byte more than the message, so that a longer datagram shows
        // as longer rather than cut to fit.
        buffer.assign(layout.size + 1, 0);
        layoutChanged = false;
    }
    taken = false;
    if (socket < 0)
        return -1;
    UdpAddress source = 0;
    long n = UdpReceiveFrom(socket, buffer.data(), buffer.size(), &source);
    if (n < 0)
        return -1;
    lastSender = source;
    if (from)
        *from = source;
    if (layout.overfull || layout.size == 0 || (size_t)n != layout.size)
        return 0;
    taken = true;
    return 1;
}

bool UdpReceiver::Store()
{
    if (!taken)
        return false;
    taken = false;
    return DecodeLayout(layout, buffer.data());
}
