// Handlers of the transfer requests (1832 to 1839, 1842, 1844), entered in
// the dispatcher's request table of ManagementProgram.cpp.
#pragma once

#include "remote_api.h"
#include "sim/ManagementProgram.h"

void downloadStartRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void downloadDataRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void downloadAbortRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void downloadEndRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void uploadStartRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void uploadDataRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void uploadAbortOrEndRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void serverDownloadRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void downloadCompletionRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
