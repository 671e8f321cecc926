/* Status codes returned by the exported functions of libOrvane_2.so.
 *
 * Every export returns an int: 0 for success, a negative code for a
 * failure, 100 and 101 (configuration download) and 500 to 502 for a
 * success with a remark. Internal codes never leave the library: they are
 * translated into these first, and a code without a translation becomes
 * FABAPI_ERR_UNMAPPED. Each export lists the codes it returns beside its
 * declaration (orvane/fabapi.h, objects.h, transfers.h, events.h, oid.h);
 * what a code means there is what it means for that export.
 *
 * Several numbers carry more than one meaning: each export gives a number
 * one of them. Such a number has one name per meaning below, all of the
 * same value, and its comment says so ("also"). Codes that only carry a
 * switch's refusal through the translation are named after the switch
 * status they stand for (FABAPI_ERR_SWITCH_STATUS_...). */
#ifndef ORVANE_STATUS_H
#define ORVANE_STATUS_H

enum {
    FABAPI_OK = 0,

    /* --- Arguments, memory, the library itself --- */
    FABAPI_ERR_FAILED = -1,        /* a failure without a code of its own: a firmware
                                      download thread could not be started; a switch's own
                                      status -1 */
    FABAPI_ERR_OUT_OF_MEMORY = -2, /* out of memory or internal failure */
    FABAPI_ERR_BAD_ARGUMENT = -3,  /* a null, empty or out-of-range argument, a request that
                                      cannot be made of it; the file FABRIC_CONFIG_FILE names is
                                      missing; also: the switch refused the arguments of a
                                      zoning request */
    FABAPI_ERR_NOT_INITIALIZED = -98,
    FABAPI_ERR_ALREADY_INITIALIZED = -99,
    FABAPI_ERR_SHUTTING_DOWN = -216,
    FABAPI_ERR_THREAD_NOT_STARTED = -211,
    FABAPI_ERR_UNMAPPED = -1000, /* internal code without a public translation; also: the
                                    switch answered a zoning request with a status of its own */

    /* --- Proxies, discovery, sessions, tracing --- */
    FABAPI_ERR_NO_FABRIC_FOUND = -4,   /* discovery found no fabric */
    FABAPI_ERR_NO_FABRIC_HANDLE = -4,  /* also -4: the object's fabric has no session, or no
                                          connection to its proxy switch */
    FABAPI_ERR_EMPTY_PROXY_LIST = -12, /* the proxy list is empty */
    FABAPI_ERR_NO_SESSION = -12,       /* also -12: the object's fabric has no session, or the
                                          fabric identifier is not stored; GetAllObjects: the
                                          store holds an object without a type */
    FABAPI_ERR_SWITCH_NOT_READY = -14, /* the login was refused, or the switch cannot serve the
                                          request now (the object queries retry it) */
    FABAPI_ERR_SESSION_ALREADY_OPEN = -92,
    FABAPI_ERR_FABRIC_NOT_DISCOVERED = -93,
    FABAPI_ERR_SWITCH_LEFT_FABRIC = -94,
    FABAPI_ERR_FABRIC_CHANGED = -95, /* a switch is missing and the fabric changed */
    FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE = -96,
    FABAPI_ERR_NOT_TRACING = -97, /* the trace category is not being traced */
    FABAPI_ERR_PROXY_ALREADY_LISTED = -200,
    FABAPI_ERR_PROXY_NOT_LISTED = -201,
    FABAPI_ERR_NO_SUCH_SESSION = -202,
    FABAPI_ERR_FABRIC_UNREADABLE = -209, /* the fabric cannot be read any more */
    FABAPI_ERR_ALREADY_TRACING = -210,   /* the trace category is already being traced */
    FABAPI_ERR_TRACE_MESSAGE_REFUSED = -212,
    FABAPI_ERR_INVALID_OPEN_SESSIONS = -214,
    FABAPI_ERR_FABRIC_WWN_MISMATCH = -219, /* the fabric's world wide name differs */

    /* --- Requests to the switches --- */
    FABAPI_ERR_REQUEST_FAILED = -56, /* the switch did not answer (no reply, a time-out, a
                                        closed connection, a reply that does not decode) */
    FABAPI_ERR_SWITCH_BUSY = -86,    /* the switch stayed busy (the object queries retry it
                                        five times) */
    FABAPI_ERR_REQUEST_NO_MEMORY = -87, /* the request layer ran out of memory */
    FABAPI_ERR_NOT_SUPPORTED = -36,  /* not at this firmware level or by this switch (the
                                        oldest level has no zoning transaction and no routes);
                                        ConfigurationPrefix: the switch's list lacks the
                                        section */
    FABAPI_ERR_SWITCH_REFUSED = -25, /* the switch refused the request (switch status -10103);
                                        also: a zone member that is not ready or not usable */
    FABAPI_ERR_SWITCH_STATUS_10026 = -5,   /* see also FABAPI_ERR_NO_FABRIC_DATA */
    FABAPI_ERR_SWITCH_STATUS_10028 = -49,  /* also: a low-level module 218 failure */
    FABAPI_ERR_SWITCH_STATUS_10029 = -89,
    FABAPI_ERR_SWITCH_STATUS_10051 = -52,  /* also -10113 */
    FABAPI_ERR_SWITCH_STATUS_10052 = -53,  /* also -10115 */
    FABAPI_ERR_SWITCH_STATUS_10053 = -54,
    FABAPI_ERR_SWITCH_STATUS_10054 = -55,  /* also -10114, and security failure -60703; see
                                              also FABAPI_ERR_COMMIT_REFUSED */
    FABAPI_ERR_SWITCH_STATUS_10105 = -32,
    FABAPI_ERR_SWITCH_STATUS_10108 = -220,
    FABAPI_ERR_SWITCH_STATUS_10110 = -10110, /* passed on as the switch gave it */
    FABAPI_ERR_SWITCH_STATUS_10111 = -10111, /* passed on as the switch gave it */
    FABAPI_ERR_SWITCH_STATUS_10112 = -10112, /* passed on as the switch gave it */
    FABAPI_ERR_SWITCH_STATUS_19979 = -218,
    FABAPI_ERR_SWITCH_POSITIVE_STATUS = -67, /* the switch's status 14; also security failure
                                                -60715 */
    /* Low-level module failures (a switch status below -20000, by its module). */
    FABAPI_ERR_PLATFORM_MODULE_FIRST = -1506, /* -1501 to -1506: modules 96 to 101 */
    FABAPI_ERR_PLATFORM_MODULE_LAST = -1501,
    FABAPI_ERR_THRESHOLD_MODULE_FIRST = -114, /* -101 to -114: modules 197 to 210 */
    FABAPI_ERR_THRESHOLD_MODULE_LAST = -101,

    /* --- Objects and the object store --- */
    FABAPI_ERR_UNKNOWN_BLOCK = -13, /* falFreeObject: a null pointer or a block the library
                                       did not hand out */
    FABAPI_ERR_DUPLICATE_NAME = -13, /* also -13: zoning: the switch already holds an object of
                                        the name (switch status -10102) */
    FABAPI_ERR_NOT_STORED = -13,     /* also -13: certificate and security exports: the
                                        identifier names no stored switch or security object,
                                        or one without the data the request needs */
    FABAPI_ERR_OBJECT_NOT_FOUND = -21, /* not in the object store, no class, or nothing found */
    FABAPI_ERR_NOT_FOUND = -17, /* an object, attribute, relation or cache table the call needs
                                   is missing; GetObjectTemplate and ModifyObject: a record or
                                   identifier of another type */
    FABAPI_ERR_WRONG_TYPE = -20, /* the object's type is missing or not allowed for the call;
                                    a zoning capabilities object in a deletion list */
    FABAPI_ERR_NO_FABRIC_DATA = -5, /* the fabric or parent of an object is missing or without
                                       its handle or world wide name; also: a member of another
                                       fabric */
    FABAPI_ERR_NOT_A_SWITCH = -6, /* the identifier is not of a switch; also: the switch
                                     refused a change of its state */
    FABAPI_ERR_PORT_NOT_STORED = -7,
    FABAPI_ERR_PORT_STATISTICS_NOT_STORED = -8,
    FABAPI_ERR_PORT_ERRORS_NOT_STORED = -9,
    FABAPI_ERR_PLATFORM_NOT_STORED = -10,
    FABAPI_ERR_NODE_NOT_STORED = -11,   /* also: a port name change to an empty name */
    FABAPI_ERR_PORT_MODULE_NOT_STORED = -22,
    FABAPI_ERR_DEVICE_NOT_STORED = -23,
    FABAPI_ERR_NO_PRODUCT = -45,        /* an inventory object without its product */
    FABAPI_ERR_NO_PARENT = -51,         /* an inventory object without its parent */
    FABAPI_ERR_NO_TOPOLOGY = -90,       /* the link's topology cannot be read */
    FABAPI_ERR_SOME_OBJECTS_FAILED = -221,

    /* --- Attribute changes, platforms, switch groups, thresholds, routes --- */
    FABAPI_ERR_ROUTE_REFUSED = -18,     /* the switch refused the route entry, or has no route */
    FABAPI_ERR_BAD_ADDRESS = -31,       /* an address text that is no IPv4 address; also
                                           security failure -60702 */
    FABAPI_ERR_REFUSED_AT_LEVEL = -34,  /* an attribute code or set tag refused at the fabric's
                                           level or not known; no security capabilities */
    FABAPI_ERR_LICENSE_KEY_FAILED = -46,
    FABAPI_ERR_SWITCH_GROUP_REFUSED = -47, /* also: an inventory object without its group */
    FABAPI_ERR_NO_GROUP_NAME = -48,
    FABAPI_ERR_PASSWORD_TOO_LONG = -84,
    FABAPI_ERR_NO_SUCH_CLASS_AREA = -102, /* a threshold class and area the switch lacks */
    FABAPI_ERR_BAD_LEVEL_SELECT = -104,
    FABAPI_ERR_BOUNDARY_ORDER = -109,     /* a custom high boundary below the low one */
    FABAPI_ERR_ONE_MEMBER_ONLY = -215,    /* a platform takes one member only */
    FABAPI_ERR_UNKNOWN_PLATFORM = -1507,

    /* --- Zoning --- */
    FABAPI_ERR_NO_ZONE_TRANSACTION = -40, /* a zoning (or security) edit outside its
                                             transaction */
    FABAPI_ERR_ZONE_TRANSACTION_OPEN = -66,
    FABAPI_ERR_ALIAS_NOT_MADE = -24,      /* the zone alias cannot be made or is not stored */
    FABAPI_ERR_ZONE_NOT_MADE = -26,       /* the zone cannot be made or is not stored; a zone
                                             member's chain to its database is broken */
    FABAPI_ERR_ZONE_SET_NOT_MADE = -27,   /* the zone set cannot be made or is not stored; an
                                             object that is no (active) zone set */
    FABAPI_ERR_NO_DEFINED_DATABASE = -28, /* no defined zoning database, or a database of the
                                             wrong kind; a deletion whose parent is not stored */
    FABAPI_ERR_NO_ZONING_CAPABILITIES = -29,
    FABAPI_ERR_NO_ACTIVE_DATABASE = -30,
    FABAPI_ERR_NO_ACTIVE_ZONE_SET = -57,
    FABAPI_ERR_NOT_PRIMARY_SERVER = -59,  /* the proxy is not the fabric's primary
                                             configuration server */
    FABAPI_ERR_ACTIVATION_REFUSED = -60,  /* the switch refused a zone set activation; also
                                             security failure -60704 */
    FABAPI_ERR_MEMBER_ELSEWHERE = -68,    /* a zone member already inside a zone or alias */
    FABAPI_ERR_WRONG_MEMBER_KIND = -71,   /* a member of a kind the set does not take; not a
                                             member of the set */
    FABAPI_ERR_PORT_TYPE_REFUSED = -72,   /* a port member whose port is not an F or FL port */
    FABAPI_ERR_DEFAULT_ZONING_REFUSED = -73,
    FABAPI_ERR_VALIDATION_FAILED = -74,   /* the switch's validation of the defined database
                                             failed */
    FABAPI_ERR_ACTIVE_DATABASE_OBJECT = -75, /* an object of the active database cannot be
                                                edited or deleted */
    FABAPI_ERR_MEMBER_IN_USE = -76,       /* a zone member inside a zone or alias cannot be
                                             deleted */
    FABAPI_ERR_MEMBER_NOT_PREPARED = -77,
    FABAPI_ERR_UNDEFINED_OBJECT_NAME = -78,
    FABAPI_ERR_TARGET_NOT_STORED = -80,   /* a zone member's target is not stored */
    FABAPI_ERR_TARGET_KIND_REFUSED = -81,
    FABAPI_ERR_BAD_MODIFIER = -82,        /* a member modifier present where none is taken, or
                                             missing */
    FABAPI_ERR_MEMBER_TEXT_TOO_LONG = -85,   /* a member list longer than 256 characters */
    FABAPI_ERR_ACTIVATED_WITH_REMARK = -88,  /* the zone set was made and activated, and the
                                                switch added a remark */
    FABAPI_ERR_NAME_TOO_LONG = -207,         /* a zoning object name longer than 64 characters */
    FABAPI_ERR_NO_MEMBER_TARGET = -208,      /* a member without its target, or a zone target
                                                that is not of zone type 2 */

    /* --- Fabric services --- */
    FABAPI_ERR_NO_EVENT_NOTIFICATION = -44, /* no fabric's event notification is on; the
                                               event listener is not running or cannot start */
    FABAPI_ERR_EVENT_LISTENER_FAILED = -58,
    FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS = -43, /* also: a waiting firmware download
                                                       failed */
    FABAPI_ERR_FIRMWARE_DOWNLOAD_FAILED = -83, /* the image cannot be read, or the switch's
                                                  download failed or still runs */
    FABAPI_ERR_CONFIG_KEY_REFUSED = -50,    /* a configuration key that may not be written */
    FABAPI_ERR_SECURITY_REFUSED = -39,      /* a security request refused (switch status
                                               -10301, security failures -60701, -60712) */
    FABAPI_ERR_EMPTY_POLICY_TEXT = -61,     /* also security failure -60705 */
    FABAPI_ERR_SECURITY_FAILURE_60707 = -62,
    FABAPI_ERR_NO_CERTIFICATE = -63,        /* no switch certificate could be had */
    FABAPI_ERR_SECURITY_FAILURE_60711 = -64,
    FABAPI_ERR_SECURITY_FAILURE_60714 = -65,
    FABAPI_ERR_SECURITY_FAILURE_60706 = -217,
    FABAPI_ERR_COMMIT_REFUSED = -55,        /* also -55: the switch refused a security
                                               transaction's commit */

    /* --- Successes with a remark --- */
    FABAPI_CONFIG_SENT_FOR_REBOOT = 100,    /* the lines were sent, to be applied with a reboot */
    FABAPI_CONFIG_NEEDS_REBOOT = 101,       /* not sent: applying them needs a reboot */
    FABAPI_WARN_NO_LINKS = 500,            /* session opened without its inter-switch links */
    FABAPI_WARN_SESSION_UNCONFIRMED = 501, /* a secure-mode proxy does not confirm the session */
    FABAPI_WARN_SIGNATURE_DIFFERS = 502    /* signature differs from the object tree */
};

#endif
