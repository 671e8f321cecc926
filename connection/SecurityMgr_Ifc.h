// The security manager: encodes the text of a password login before it goes
// to a proxy switch, and decodes such text.
#pragma once

#include <cstdint>

class SecurityMgr_Ifc {
public:
    virtual ~SecurityMgr_Ifc() = default;

    // Readies the manager; 0 on success.
    virtual int initialize() = 0;
    // Encodes n bytes of in into out, ended by a NUL; *outCount receives the
    // length of the text. 0 on success, else a request-layer status code.
    virtual int encode(const char* in, char* out, int n, unsigned* outCount) = 0;
    // Decodes up to n characters of in into out, followed by a 0 byte;
    // *outCount receives the number of bytes. 0 on success, else a status code.
    virtual int decode(const char* in, char* out, int n, int* outCount) = 0;
    // Output size estimates for n input bytes or characters; callers add one
    // byte for the NUL.
    virtual std::uint32_t encodedSize(std::uint32_t n) = 0;
    virtual std::uint32_t decodedSize(std::uint32_t n) = 0;
    // Ends a piece of work begun with encode or decode; 0 on success.
    virtual int finalize(int mode) = 0;

protected:
    SecurityMgr_Ifc() = default;
    SecurityMgr_Ifc(const SecurityMgr_Ifc&) = default;
    SecurityMgr_Ifc& operator=(const SecurityMgr_Ifc&) = default;
};
