// Internal status codes of the request layer and the library's services.
//
// They never leave an export as they are: MapApiError turns them into the
// public codes of include/orvane/status.h.
#pragma once

// Request layer (-10000 to -19999).
constexpr int REQ_ERR_NOT_API_RECORD = -10004; // block not made by the request layer
constexpr int REQ_ERR_BAD_ARGUMENT = -10021;   // missing or bad argument
constexpr int REQ_ERR_NO_CONNECTION = -10023;  // no RPC connection for the session
constexpr int REQ_ERR_NO_MEMORY = -10024;      // allocation failed
constexpr int REQ_ERR_RPC_NO_REPLY = -10200;   // RPC call without reply
constexpr int REQ_ERR_NO_SWITCH_CERTIFICATE = -10300;
constexpr int REQ_ERR_EMPTY_POLICY_TEXT = -10302; // policy set without text

// Event listener and firmware download.
constexpr int SVC_ERR_LISTENER_NOT_RUNNING = -60501;
constexpr int SVC_ERR_LOCAL_ADDRESS_UNREADABLE = -60504;
constexpr int SVC_ERR_FIRMWARE_FILE_UNREADABLE = -60600;
constexpr int SVC_ERR_SWITCH_DOWNLOAD_RUNNING = -60601;
constexpr int SVC_ERR_SWITCH_DOWNLOAD_FAILED = -60604;
constexpr int SVC_ERR_FIRMWARE_CHECKSUM = -60610;

// Code of an APIException made without one.
constexpr int API_EXCEPTION_DEFAULT_CODE = 3045;
