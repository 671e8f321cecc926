// Typed XDR routines as the untyped filters that the RPC runtime takes.
#pragma once

#include <rpc/rpc.h>

// The runtime calls every filter as bool_t (XDR*, void*); the generated
// routines take their own record type. The detour through a plain function
// pointer type states that the conversion is intended.
template <class Record> xdrproc_t asXdrFilter(bool_t (*filter)(XDR*, Record*)) {
    return reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(filter));
}
