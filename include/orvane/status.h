/* Status codes returned by the exported functions of libOrvane_2.so.
 *
 * Every export returns an int: 0 for success, a negative code for a
 * failure, 500 to 502 for a success with a warning. Internal codes never
 * leave the library: they are translated into these first, and a code
 * without a translation becomes FABAPI_ERR_UNMAPPED. */
#ifndef ORVANE_STATUS_H
#define ORVANE_STATUS_H

enum {
    FABAPI_OK = 0,

    FABAPI_ERR_OUT_OF_MEMORY = -2, /* out of memory or internal failure */
    FABAPI_ERR_BAD_ARGUMENT = -3,
    FABAPI_ERR_NO_FABRIC_FOUND = -4,
    FABAPI_ERR_EMPTY_PROXY_LIST = -12,
    FABAPI_ERR_UNKNOWN_BLOCK = -13, /* block not handed out by the library */
    FABAPI_ERR_OBJECT_NOT_FOUND = -21,
    FABAPI_ERR_NO_ZONE_TRANSACTION = -40, /* zoning edit outside a zoning transaction */
    FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS = -43,
    FABAPI_ERR_REQUEST_FAILED = -56,
    FABAPI_ERR_SESSION_ALREADY_OPEN = -92,
    FABAPI_ERR_FABRIC_NOT_DISCOVERED = -93,
    FABAPI_ERR_SWITCH_LEFT_FABRIC = -94,
    FABAPI_ERR_FABRIC_CHANGED = -95, /* a switch is missing and the fabric changed */
    FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE = -96,
    FABAPI_ERR_NOT_TRACING = -97, /* the trace category is not being traced */
    FABAPI_ERR_NOT_INITIALIZED = -98,
    FABAPI_ERR_ALREADY_INITIALIZED = -99,
    FABAPI_ERR_PROXY_ALREADY_LISTED = -200,
    FABAPI_ERR_PROXY_NOT_LISTED = -201,
    FABAPI_ERR_NO_SUCH_SESSION = -202,
    FABAPI_ERR_FABRIC_UNREADABLE = -209, /* the fabric cannot be read any more */
    FABAPI_ERR_ALREADY_TRACING = -210,   /* the trace category is already being traced */
    FABAPI_ERR_THREAD_NOT_STARTED = -211,
    FABAPI_ERR_TRACE_MESSAGE_REFUSED = -212,
    FABAPI_ERR_INVALID_OPEN_SESSIONS = -214,
    FABAPI_ERR_SHUTTING_DOWN = -216,
    FABAPI_ERR_FABRIC_WWN_MISMATCH = -219, /* the fabric's world wide name differs */
    FABAPI_ERR_SOME_OBJECTS_FAILED = -221,
    FABAPI_ERR_UNMAPPED = -1000, /* internal code without a public translation */

    FABAPI_WARN_NO_LINKS = 500,            /* session opened without its inter-switch links */
    FABAPI_WARN_SESSION_UNCONFIRMED = 501, /* a secure-mode proxy does not confirm the session */
    FABAPI_WARN_SIGNATURE_DIFFERS = 502    /* signature differs from the object tree */
};

#endif
