// A connection to a proxy switch's web server: a page adapter bound to the
// proxy switch's address that learnt the switch's world wide name and
// firmware version from its page "switch.html" when it was made.
#pragma once

#include "adapters/http/HTTPAdapter.h"
#include "connection/ConnectionDescriptor.h"
#include "connection/Fabric_Connection_Ifc.h"

#include <memory>

class HTTPConnection : public Fabric_Connection_Ifc, public HTTPAdapter {
public:
    // Copies the descriptor, points the adapter at the proxy switch and
    // reads "switch.html" (getPageStatus tells how that went).
    explicit HTTPConnection(const ConnectionDescriptor& descriptor);
    ~HTTPConnection() override;

    // The connection's own address.
    int hashCode() const override;

    // Always throws ConnectionException "Unsupported operation.".
    WWNAddress getFabricWWNAddress() override;
    // What "switch.html" gave; ConnectionException "Unavailable." without it.
    FirmwareVersion getProxyVersion() override;
    WWNAddress getProxyWWNAddress() override;
    IPAddress getProxyIPAddress() override;
    ProtocolKey getProtocolDescriptor() override;
    std::string getLoginUser() override;
    std::string getLoginPassword() override;
    ConnectionDescriptor getConnectionDescriptor() override;
    // The connection itself.
    void* getHandle() override;
    // 0 "HTTP Connection Ready" once the page gave the world wide name,
    // else 1 "HTTP Connection Failed". Sends nothing.
    ConnectionStatus checkStatus() override;

    // Reads "switch.html" and takes the name and version it gives: 0, or
    // the fetch's error (nothing changes then).
    int getProxyInfo();
    // The result of the read made on construction.
    int getPageStatus() const { return pageStatus_; }

private:
    ConnectionDescriptor descriptor_;
    std::unique_ptr<WWNAddress> wwn_;
    std::unique_ptr<FirmwareVersion> version_;
    int status_ = 1;
    int pageStatus_ = 0;
};
