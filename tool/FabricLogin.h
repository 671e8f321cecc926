// Logging in to one fabric: up to six attempts, the user asked again after
// each refusal in interactive mode, the same login sent again in batch mode.
#pragma once

#include <string>

#include "LoginPrompt.h"

class Console;
struct SystemParameters;

// Opens the session of one fabric in the library with one login.
class SessionOpener {
public:
    virtual ~SessionOpener() = default;
    // True when the fabric accepted the login.
    virtual bool establishSession(const std::string& fabricId, const Credentials& login) = 0;
};

class FabricLogin {
public:
    static constexpr int MaxAttempts = 6;

    FabricLogin(const SystemParameters& parameters, Console& console, SessionOpener& sessions);

    // Logs in to fabric `number` (from 1) with the identifier `fabricId`:
    // true when a session was opened. In interactive mode the login typed
    // for one fabric is the default of the next.
    bool loginToFabric(int number, const std::string& fabricId);

private:
    const SystemParameters& parameters_;
    Console& console_;
    SessionOpener& sessions_;
    Credentials credentials_;
};
