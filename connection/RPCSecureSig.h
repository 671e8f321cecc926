// The credential of an RPC connection's login: the text that the connection
// sends as its AUTH_UNIX machine name on every later call, and the access
// level that the switch granted (sent as the user id).
#pragma once

#include <cstddef>
#include <memory>

class RPCSecureSig {
public:
    // Size of the text buffer, NUL included: at most 255 characters are kept.
    static constexpr std::size_t TextSize = 256;

    // Copies at most TextSize - 1 characters of `text` (null gives "").
    RPCSecureSig(const char* text, int number);
    RPCSecureSig(const RPCSecureSig& other);
    RPCSecureSig& operator=(const RPCSecureSig& other);
    ~RPCSecureSig();

    const char* getText() const { return text_.get(); }
    int getNumber() const { return number_; }

private:
    std::unique_ptr<char[]> text_;
    int number_;
};
