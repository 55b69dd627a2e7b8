#include "net/net_session.h"

// role starts as "no session" so that headless programs that never call
// StartNetwork (tests, simulator) see local play.
NetSession gNet = [] {
    NetSession s{};
    s.role = kRoleNone;
    s.inSound = -1;
    s.outFrameRate = 500;
    s.inFrameRate = 500;
    return s;
}();
