#include "FabricLogin.h"

#include "ReplyText.h"
#include "SystemParameters.h"
#include "console.h"

namespace {

constexpr char BatchUser[] = "admin";
constexpr char BatchPassword[] = "quorbelt";
constexpr std::size_t WwnBufferSize = 64;
constexpr std::size_t ObjectTypeLength = 4; // an identifier's leading digits before the name

} // namespace

FabricLogin::FabricLogin(const SystemParameters& parameters, Console& console,
                         SessionOpener& sessions)
    : parameters_(parameters), console_(console), sessions_(sessions) {}

bool FabricLogin::loginToFabric(int number, const std::string& fabricId) {
    const bool interactive = parameters_.interactive();
    if (!parameters_.USER_LOGIN.empty())
        credentials_.user = parameters_.USER_LOGIN;
    else if (!interactive)
        credentials_.user = BatchUser;
    if (!parameters_.PASSWORD.empty())
        credentials_.password = parameters_.PASSWORD;
    else if (!interactive)
        credentials_.password = BatchPassword;

    std::string wwn;
    formatWwn(fabricId.size() > ObjectTypeLength ? fabricId.substr(ObjectTypeLength) : "", wwn,
              WwnBufferSize);
    const char* wwnText = wwn.c_str();

    bool loggedIn = false;
    if (interactive) {
        console_.print("\n  Login to fabric %d. principal switch WWN = %s\n", number, wwnText);
        promptLogin(console_, credentials_);
    }
    // In interactive mode a closed input ends the prompts: no login is sent
    // on its behalf.
    for (int attempt = 1; attempt <= MaxAttempts && !(interactive && console_.atEnd()); ++attempt) {
        if (sessions_.establishSession(fabricId, credentials_)) {
            loggedIn = true;
            break;
        }
        if (!interactive || attempt == MaxAttempts)
            continue;
        if (attempt == 1)
            console_.print("\n\n  Fabric %d login refused, principal switch WWN = %s;\n\n"
                           "  Please enter login information within %2d tries:\n",
                           number, wwnText, MaxAttempts - 1);
        else
            console_.write("\n");
        if (attempt >= 2)
            console_.print("  Again ... (%2d tries left): \n", MaxAttempts - attempt);
        if (promptLogin(console_, credentials_) != 0)
            break; // an empty password gives up this fabric
    }
    if (loggedIn) {
        if (interactive)
            console_.print("\n  Logged into fabric %d. principal switch WWN = %s \n", number,
                           wwnText);
    } else {
        console_.print("\n  Login Failed: fabric %d. principal switch WWN = %s \n", number,
                       wwnText);
    }
    return loggedIn;
}
