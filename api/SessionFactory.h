// Creates sessions on discovered fabrics. One process-wide instance lives
// from start-up to shutdown; it holds no data.
#pragma once

class SessionFactory {
public:
    SessionFactory() = default;
    SessionFactory(const SessionFactory&) = delete;
    SessionFactory& operator=(const SessionFactory&) = delete;
    virtual ~SessionFactory() = default;
};
