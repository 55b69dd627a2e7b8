// The endpoints over real loopback datagrams: a message arrives whole,
// datagrams of another length are ignored and change nothing, queued
// datagrams are read one per call oldest first, receiving never waits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "net/udp_endpoint.h"
#include "net_test_util.h"

namespace {

TEST(NetEndpoint, AMessageTravelsOverLoopback)
{
    int port = FreeUdpPort();
    UdpReceiver receiver;
    ASSERT_EQ(receiver.Bind(port, false), 1);
    uint8_t kindIn = 0;
    int32_t valueIn = 0;
    receiver.AddBytes(&kindIn, 1);
    receiver.AddInts(&valueIn, 1);

    UdpSender sender;
    ASSERT_EQ(sender.Open("127.0.0.1", port), 1);
    uint8_t kind = 4;
    int32_t value = -321;
    sender.AddBytes(&kind, 1);
    sender.AddInts(&value, 1);
    ASSERT_EQ(sender.Send(), 1);
    ASSERT_EQ(receiver.Receive(), 1);
    EXPECT_EQ(kindIn, 4);
    EXPECT_EQ(valueIn, -321);
}

TEST(NetEndpoint, ADatagramOfAnotherLengthIsIgnored)
{
    int port = FreeUdpPort();
    UdpReceiver receiver;
    ASSERT_EQ(receiver.Bind(port, false), 1);
    uint8_t kind = 9;
    int32_t value = 77;
    receiver.AddBytes(&kind, 1);
    receiver.AddInts(&value, 1);
    ASSERT_EQ(receiver.MessageSize(), 17u);

    std::string good = std::string("\x02") + std::string(13, ' ') + "25 ";
    SendRaw(port, good.substr(0, 16));             // one byte short
    SendRaw(port, good + "x");                     // one byte long
    SendRaw(port, std::string(2000, '7'));         // far too long
    SendRaw(port, "");                             // empty
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(receiver.Receive(), -1);
    EXPECT_EQ(kind, 9);
    EXPECT_EQ(value, 77);
    SendRaw(port, good);
    EXPECT_EQ(receiver.Receive(), 1);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(value, 25);
}

TEST(NetEndpoint, QueuedDatagramsAreReadOnePerCallOldestFirst)
{
    int port = FreeUdpPort();
    UdpReceiver receiver;
    ASSERT_EQ(receiver.Bind(port, false), 1);
    int32_t value = 0;
    receiver.AddInts(&value, 1);
    UdpSender sender;
    ASSERT_EQ(sender.Open("127.0.0.1", port), 1);
    int32_t out = 0;
    sender.AddInts(&out, 1);
    for (out = 1; out <= 3; out++)
        ASSERT_EQ(sender.Send(), 1);
    EXPECT_EQ(receiver.Receive(), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(receiver.Receive(), 1);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(receiver.Receive(), 1);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(receiver.Receive(), -1);
    EXPECT_EQ(value, 3);
}

TEST(NetEndpoint, ReceivingNeverWaits)
{
    UdpReceiver receiver;
    ASSERT_EQ(receiver.Bind(FreeUdpPort(), true), 1);  // even a "blocking" bind
    int32_t value = 0;
    receiver.AddInts(&value, 1);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(receiver.Receive(), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    UdpReceiver unbound;  // no socket at all
    unbound.AddInts(&value, 1);
    EXPECT_EQ(unbound.Receive(), -1);
}

TEST(NetEndpoint, AFieldAddedAfterTheFirstSendGrowsTheNextMessage)
{
    int port = FreeUdpPort();
    UdpSender sender;
    ASSERT_EQ(sender.Open("127.0.0.1", port), 1);
    int32_t a = 5, b = 6;
    sender.AddInts(&a, 1);
    UdpReceiver small, large;
    ASSERT_EQ(small.Bind(port, false), 1);
    int32_t a1 = 0, a2 = 0, b2 = 0;
    small.AddInts(&a1, 1);
    ASSERT_EQ(sender.Send(), 1);
    EXPECT_EQ(small.Receive(), 1);
    EXPECT_EQ(a1, 5);
    sender.AddInts(&b, 1);
    EXPECT_EQ(sender.MessageSize(), 32u);
    ASSERT_EQ(sender.Send(), 1);
    EXPECT_EQ(small.Receive(), -1);  // 32 bytes to a 16-byte layout
    // The receiver gains the field too and takes the next one.
    small.AddInts(&b2, 1);
    ASSERT_EQ(sender.Send(), 1);
    EXPECT_EQ(small.Receive(), 1);
    EXPECT_EQ(a1, 5);
    EXPECT_EQ(b2, 6);
    (void)a2;
    (void)large;
}

TEST(NetEndpoint, SixtyFourBitValueArrivesAsTheNearestFloat)
{
    int port = FreeUdpPort();
    UdpReceiver receiver;
    ASSERT_EQ(receiver.Bind(port, false), 1);
    double in = 0;
    receiver.AddDoubles(&in, 1);
    UdpSender sender;
    ASSERT_EQ(sender.Open("127.0.0.1", port), 1);
    double out = 0.1;
    sender.AddDoubles(&out, 1);
    ASSERT_EQ(sender.Send(), 1);
    ASSERT_EQ(receiver.Receive(), 1);
    EXPECT_EQ(in, (double)0.1f);
}

TEST(NetEndpoint, FailuresAreSilent)
{
    UdpSender sender;
    int32_t v = 1;
    sender.AddInts(&v, 1);
    EXPECT_EQ(sender.Send(), -1);  // never opened: no destination
    EXPECT_EQ(sender.Open("", 29790), -1);
    EXPECT_EQ(sender.Open("999.1.1.1", 29790, true), -1);
    EXPECT_EQ(sender.Open("not-an-address", 29790, true), -1);  // no look-up allowed
    EXPECT_EQ(sender.Send(), -1);

    int port = FreeUdpPort();
    UdpReceiver first, second;
    EXPECT_EQ(first.Bind(port, false), 1);
    EXPECT_EQ(second.Bind(port, false), -1);  // the port is taken
    second.AddInts(&v, 1);
    EXPECT_EQ(second.Receive(), -1);
}

}  // namespace
