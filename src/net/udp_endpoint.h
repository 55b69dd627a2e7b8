// The two network endpoints and their message encoding.
//
// A message is described by a layout: an ordered list of the program's own
// variables (field descriptors), registered once.  A sender reads them and
// sends one datagram; a receiver takes one datagram and writes them.
// Numbers travel as fixed-width decimal text, 16 bytes each:
//   integer  "%15d "    25  -> 13 spaces, "25", a space
//   float    "%15.7f "  1.5 -> 6 spaces, "1.5000000", a space
// and byte fields (names, addresses, flags) as they are.  There is no
// header, length or checksum: both machines register matching layouts, and
// a datagram is taken only when its length is exactly the layout's size.
// Failures are silent (the calls return -1); receiving never blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/udp_socket.h"

enum FieldType : uint8_t {
    kFieldBytes = 1,    // `count` raw bytes, copied as they are
    kFieldInts = 2,     // `count` 32-bit integers, 16 text bytes each
    kFieldFloats = 3,   // `count` 32-bit floats, 16 text bytes each
    kFieldDoubles = 4,  // `count` 64-bit floats, 16 text bytes each (arrive as 32-bit)
};

static const size_t kSlotSize = 16;  // text bytes per number
static const int kMaxFields = 16;    // descriptors per layout

struct FieldDescriptor {
    void* address;  // first variable; owned by someone else (NetSession)
    uint8_t type;   // FieldType
    uint32_t count;
};

struct Layout {
    FieldDescriptor fields[kMaxFields];
    int fieldCount;
    size_t size;     // message bytes
    bool overfull;   // a registration did not fit: the layout is unusable
};

// Appends a descriptor (registering a layout twice adds every field again).
void AddField(Layout& layout, void* address, FieldType type, uint32_t count);

// The 16 text bytes of one integer or one float (widened to 64 bits).
void FormatIntSlot(int32_t value, char slot[kSlotSize]);
void FormatFloatSlot(double value, char slot[kSlotSize]);

// Reads the number at the start of one 16-byte slot (leading blanks
// skipped, nothing beyond the slot read).  False, and *value untouched,
// when the slot holds no number (or an integer beyond 32 bits).
bool ParseIntSlot(const uint8_t slot[kSlotSize], int32_t* value);
bool ParseFloatSlot(const uint8_t slot[kSlotSize], float* value);

// Writes layout.size bytes from the registered variables' current values.
void EncodeLayout(const Layout& layout, uint8_t* out);
// Writes the registered variables from layout.size bytes.  False when a
// number slot held no number (that variable is left as it was).
bool DecodeLayout(const Layout& layout, const uint8_t* in);

// Sending endpoint: one socket, one destination, one layout.
class UdpSender {
public:
    UdpSender();
    ~UdpSender();
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    // Resolves `peer` (dotted decimal, or a host name unless numericOnly)
    // and makes the socket.  1, or -1 when either fails.
    int Open(const char* peer, int port, bool numericOnly = false);
    void AddBytes(void* address, uint32_t count) { Add(address, kFieldBytes, count); }
    void AddInts(int32_t* address, uint32_t count) { Add(address, kFieldInts, count); }
    void AddFloats(float* address, uint32_t count) { Add(address, kFieldFloats, count); }
    void AddDoubles(double* address, uint32_t count) { Add(address, kFieldDoubles, count); }
    // Builds the message and sends it as one datagram: 1, or -1.
    int Send();

    size_t MessageSize() const { return layout.size; }
    // Where Send goes: 0 until Open has succeeded.
    UdpAddress Destination() const { return hasDestination ? destination : 0; }

private:
    void Add(void* address, FieldType type, uint32_t count);

    int socket;
    UdpAddress destination;
    int port;
    bool hasDestination;
    Layout layout;
    std::vector<uint8_t> buffer;
    bool layoutChanged;
};

// Receiving endpoint: one bound socket, one layout.
class UdpReceiver {
public:
    UdpReceiver();
    ~UdpReceiver();
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    // Makes the socket and binds it to `port` on every local address.
    // 1, or -1.
    int Bind(int port, bool blocking);
    void AddBytes(void* address, uint32_t count) { Add(address, kFieldBytes, count); }
    void AddInts(int32_t* address, uint32_t count) { Add(address, kFieldInts, count); }
    void AddFloats(float* address, uint32_t count) { Add(address, kFieldFloats, count); }
    void AddDoubles(double* address, uint32_t count) { Add(address, kFieldDoubles, count); }
    // Takes at most one datagram; when its length is the layout's size the
    // registered variables receive its contents and the result is 1.
    // Otherwise -1 and no variable changes.
    int Receive();

    // The two halves of Receive, for callers that look at the source and
    // the contents before they keep a message.  Take takes at most one
    // datagram: 1 when its length is the layout's size (its bytes wait for
    // Store), 0 when it has another length, -1 when none is waiting; `from`
    // receives its source.  Store writes the registered variables from the
    // datagram last taken with result 1, and is false when one of its
    // number slots held no number.
    int Take(UdpAddress* from);
    bool Store();

    size_t MessageSize() const { return layout.size; }
    int BoundPort() const { return UdpLocalPort(socket); }
    UdpAddress LastSender() const { return lastSender; }

private:
    void Add(void* address, FieldType type, uint32_t count);

    int socket;
    UdpAddress lastSender;  // source of the last datagram taken
    Layout layout;
    std::vector<uint8_t> buffer;
    bool layoutChanged;
    bool taken;  // the buffer holds a datagram of the layout's size not yet stored
};
