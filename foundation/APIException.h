// The library's exception family. Failures inside the library travel as
// these; every export catches them at its boundary and returns a status.
#pragma once

#include "foundation/InternalStatus.h"

#include <exception>
#include <string>

// A failure with a message and an int code (3045 when none is given).
class APIException : public std::exception {
public:
    explicit APIException(const std::string& message, int code = API_EXCEPTION_DEFAULT_CODE);
    explicit APIException(const char* message, int code = API_EXCEPTION_DEFAULT_CODE);
    APIException(const APIException& other) = default;
    APIException& operator=(const APIException& other) = default;
    ~APIException() override;

    virtual std::string getMessage() const;
    virtual int getCode() const;
    const char* what() const noexcept override;

private:
    std::string message_;
    int code_;
};

// A failure of the network or of a switch reached over it.
class NetworkException : public APIException {
public:
    using APIException::APIException;
};

// A failure to open or use a connection to a switch.
class ConnectionException : public NetworkException {
public:
    ConnectionException(const std::string& message, int code) : NetworkException(message, code) {}
    ConnectionException(const char* message, int code) : NetworkException(message, code) {}
};

// A failure of the login security (credentials, certificates, signatures).
class SecurityUtilException : public APIException {
public:
    SecurityUtilException(const std::string& message, int code) : APIException(message, code) {}
    SecurityUtilException(const char* message, int code) : APIException(message, code) {}
};
