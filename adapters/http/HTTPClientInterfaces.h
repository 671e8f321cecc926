// Interfaces of a protocol, of HTTP/1.0 and of an HTTP client.
#pragma once

#include <string>

class IProtocol {
public:
    virtual ~IProtocol() = default;
};

class IHTTP_1_0 : public IProtocol {
public:
    virtual std::string getProtocolName() const = 0;
    virtual int getProtocolWord() const = 0;
    virtual int getProtocolIdentifier() const = 0;
    virtual int getVersion() const = 0;
    virtual int get(const std::string& path, std::string& body) = 0;
    virtual int post(const std::string& path, std::string& body) = 0;
    virtual int head(const std::string& path, std::string& body) = 0;
};

class IHTTPClient {
public:
    virtual int makeConnection(const char* host, int port) = 0;
    virtual int makeConnection(const std::string& host, int port) = 0;
    virtual int closeConnection() = 0;
    virtual int getConnectionStatus() const = 0;
    virtual std::string getRemoteHost() const = 0;
    virtual int getRemotePort() const = 0;
    virtual ~IHTTPClient() = default;
};
