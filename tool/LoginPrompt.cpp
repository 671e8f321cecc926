#include "LoginPrompt.h"

#include "console.h"

namespace {

constexpr int CtrlC = 3;
constexpr int EndOfPasswordKey = 255;

} // namespace

int promptLogin(Console& console, Credentials& credentials) {
    if (credentials.user.empty())
        console.write("\n  Username: ");
    else
        console.print("\n  Username [%s]: ", credentials.user.c_str());
    const auto user = console.readLine(MaxLoginLength);
    if (!user)
        return -1;
    credentials.user = user->empty() ? "admin" : *user;

    std::string password;
    {
        // Keys typed while the prompt is shown are not echoed either.
        Console::KeyMode keys(console);
        console.write("  Password: ");
        for (;;) {
            const int key = console.readKey();
            if (key == Console::EndOfInput || key == EndOfPasswordKey)
                break;
            if (key == Console::Enter) {
                console.writeChar('\n');
                break;
            }
            if ((key & 0x7F) == Console::Backspace) {
                if (!password.empty())
                    password.pop_back();
                continue;
            }
            if (key == CtrlC)
                throw InterruptedByUser{};
            if (password.size() < MaxLoginLength)
                password.push_back(static_cast<char>(key));
        }
    }
    console.writeChar('\n');
    credentials.password = password;
    return password.empty() || console.atEnd() ? -1 : 0;
}
