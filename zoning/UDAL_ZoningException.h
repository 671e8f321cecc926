// The one way a zoning access operation fails: an exception code (see
// ZoningCodes.h) and the name of the operation that raised it.
#pragma once

class UDAL_ZoningException {
public:
    // Copies the operation name (null stays null).
    UDAL_ZoningException(int code, const char* operation);
    UDAL_ZoningException(const UDAL_ZoningException& other);
    UDAL_ZoningException& operator=(const UDAL_ZoningException&) = delete;
    ~UDAL_ZoningException();

    int getCode() const { return code; }
    const char* getOperation() const { return operation; }

    int code;
    char* operation; // owned copy
};
