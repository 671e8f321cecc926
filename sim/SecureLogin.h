// The certificate login of a proxy switch (procedure 126).
//
// Request type 293 offers the switch's certificate with a fresh challenge
// counter; request type 1 carries the answer: the Base64 text of
// "<counter>:<user>:<password>" and a NUL, encrypted with the certificate's
// public key (RSA, PKCS#1 v1.5). The switch decrypts it with its private
// key, takes the counter back (each counter answers once) and checks the
// user against the fabric's users. Request type 2 answers the switch's
// secure-login flag.
//
// Switch fields in the fabric file:
//   "certificate": "switch-01"   // PEM and key from the test PKI (sim/pki),
//                                // or a path to "<path>.pem" and "<path>.key"
//   "secureLogin": true          // the flag of request type 2 (default false)
#pragma once

#include <span>

#include "sim/ManagementProgram.h"

ProcedureResult secureLogin(CallContext& ctx, std::span<const char> args);
