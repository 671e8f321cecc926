// Intervals the library waits internally: retries, time-outs, polls.
//
// The product keeps the values below; no exported function changes them.
// Tests shorten them through internalTiming() before they start the code
// under test, so that waits stay short without changing behaviour.
#pragma once

#include <chrono>

struct InternalTiming {
    // Pause between the attempts to start a thread.
    std::chrono::milliseconds threadStartRetryPause{1000};
    // How long a cooperative thread stop waits for the thread to end.
    std::chrono::milliseconds threadStopBound{5000};
    // Time-out of one RPC call to a switch.
    std::chrono::milliseconds rpcCallTimeout{25000};
    // Time-out of opening a connection to a switch.
    std::chrono::milliseconds connectTimeout{25000};
    // Pause of a socket send that is interrupted or would block.
    std::chrono::milliseconds socketSendPause{300};
    // How long an HTTP answer may go quiet before reading it ends.
    std::chrono::milliseconds httpQuietTimeout{5000};
    // Pause before each poll of a switch's firmware download completion.
    std::chrono::milliseconds firmwareCompletionPollPause{5000};
    // Pause before a request is asked again of a switch that answered busy.
    std::chrono::milliseconds switchBusyRetryPause{1000};
    // Period of a fabric's heartbeat monitor; also the heartbeat interval
    // announced to the proxy switch (in whole seconds, at least 1).
    std::chrono::milliseconds heartbeatInterval{10000};
    // Pause after each failed ask for the event listener's address.
    std::chrono::milliseconds eventListenerAddressRetryPause{1000};
    // Bound of one connect to, and of one send to, a registered event client.
    std::chrono::milliseconds eventClientTimeout{5000};
};

// The one process-wide setting.
InternalTiming& internalTiming();
