// Creates sessions on discovered fabrics: picks one of the fabric's proxy
// switches, logs in on it and makes the ClientSession. One process-wide
// instance lives from start-up to shutdown; it holds no data.
#pragma once

#include <memory>
#include <vector>

#include "connection/FabricProxyEntry.h"

class ClientSession;
class FabricIdentity;
class ProxyConnectionInfo;

class SessionFactory {
public:
    SessionFactory() = default;
    SessionFactory(const SessionFactory&) = delete;
    SessionFactory& operator=(const SessionFactory&) = delete;
    virtual ~SessionFactory() = default;

    // A logged-in session on one of the identity's proxy switches: by
    // certificate signature first, and by user name and password when that
    // fails with -60712, -10301, -10300, -10023 or -1. Throws
    // ConnectionException.
    virtual std::unique_ptr<ClientSession> establishSession(const FabricIdentity& identity);
    // One attempt with one kind of login. Throws ConnectionException
    // ("Unable to establish session.") when no proxy switch can be chosen,
    // or the login's failure; no connection stays open after a throw.
    virtual std::unique_ptr<ClientSession> establish(const FabricIdentity& identity,
                                                     bool signatureLogin);
    // For the password login: the proxy switch with the newest firmware,
    // the earlier one on a tie; a switch that names no version but answers
    // the fabric name counts as "v2.2". The others' connections are closed.
    // Without a choice the error code is -10029 when a switch was reached
    // but answered neither query, else 0.
    virtual std::unique_ptr<ProxyConnectionInfo>
    chooseProxyConnection(const std::vector<FabricProxyEntry>& entries);
    // For the signature login: the first proxy switch that prefers
    // certificate logins, else the first that could be asked. Without a
    // choice the error code is -10023 when a switch failed, else 0.
    virtual std::unique_ptr<ProxyConnectionInfo>
    chooseProxyBySignature(const std::vector<FabricProxyEntry>& entries);
};
