/* The ONC RPC runtime: libtirpc, plus the process-wide start and end calls
 * the library makes around its life. */
#ifndef ORVANE_PLATFORM_VOSKRPC_H
#define ORVANE_PLATFORM_VOSKRPC_H

#include <rpc/rpc.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Takes one reference on the RPC runtime; 0. */
int rpc_nt_init(void);
/* Drops one reference; 0, or -1 when none was taken. */
int rpc_nt_exit(void);
/* References taken now. */
int rpc_nt_users(void);

#ifdef __cplusplus
}
#endif

#endif
