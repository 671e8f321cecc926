// What the fabric object tree needs of the zoning cache: each fabric's set
// of zoning cache tables ("FZDB", "FZDBZ", "FZDBZALIAS", "FZDBZSET",
// "AZDB", "AZDBZ", "DBTRTABLE" and "OIDSET"), kept by the zoning subsystem
// under the fabric's identifier text, and the discards that go with
// removing a fabric's objects.
//
// Until the zoning cache installs its implementation the defaults keep no
// tables: every operation does nothing.
#pragma once

#include <string>

class ZoningCacheHooks {
public:
    virtual ~ZoningCacheHooks() = default;

    // Enters the fabric's eight empty tables, unless the fabric has its
    // tables already (a rebuilt tree keeps them and an open transaction's
    // journal). Called under the object-model lock.
    virtual void createFabricTables(const std::string& fabricOid);
    // DiscardActiveZoningCache and DiscardFullZoningCache: empty the active
    // or the full zoning database's tables and members before its object,
    // named by `databaseOid`, is destroyed.
    virtual void discardActiveZoningCache(const std::string& databaseOid);
    virtual void discardFullZoningCache(const std::string& databaseOid);
    // Releases the fabric's transaction journal (ReleaseZoningJournal),
    // frees its eight tables and forgets them; nothing when it has none.
    virtual void releaseFabricTables(const std::string& fabricOid);
    // A walk of the object queries begins or ends on the calling thread,
    // which holds the object-model lock throughout: for the walk's length
    // each fabric's active zoning listing is read from its switch once.
    virtual void queryWalkBegins();
    virtual void queryWalkEnds();
};

// The installed hooks (the do-nothing default until then).
ZoningCacheHooks& zoningCacheHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
ZoningCacheHooks* installZoningCacheHooks(ZoningCacheHooks* hooks);
