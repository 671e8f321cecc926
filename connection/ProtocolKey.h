// Kind and version of a connection protocol. A key names the factory that
// makes connections of that protocol and, per proxy switch, their pool.
#pragma once

// RPC management protocol.
extern const int CONNECTION_KIND_RPC;
extern const int CONNECTION_VERSION_RPC;
// HTTP pages of the switch's web server.
extern const int CONNECTION_KIND_HTTP;
extern const int CONNECTION_VERSION_HTTP;

class ProtocolKey {
public:
    ProtocolKey(int kind, int version) : kind_(kind), version_(version) {}

    int getKind() const { return kind_; }
    int getVersion() const { return version_; }

    bool equals(const ProtocolKey& other) const;
    // kind x 1000 + version x 10: RPC hashes to 2000, HTTP to 3010.
    int hashCode() const;

    bool operator==(const ProtocolKey& other) const { return equals(other); }
    // Kind first, then version, both as signed ints.
    bool operator<(const ProtocolKey& other) const;

private:
    int kind_;
    int version_;
};

// The keys of the two transports the library speaks.
ProtocolKey rpcProtocolKey();
ProtocolKey httpProtocolKey();
