// The console login: a user name, and a password read without echo.
#pragma once

#include <string>

class Console;

struct Credentials {
    std::string user;
    std::string password;
};

// Thrown when the user types Ctrl-C at the password: zettle ends with 0.
struct InterruptedByUser {};

inline constexpr std::size_t MaxLoginLength = 63; // of a user name and of a password

// Asks for the user name (Enter alone gives "admin"; a name already held is
// shown as the default) and the password. 0, or -1 when the password is
// empty or the input ended. A password stops at 63 characters.
int promptLogin(Console& console, Credentials& credentials);
