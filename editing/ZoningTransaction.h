// The zoning transaction of a fabric and the attribute codes that drive
// zoning, as AddAttributes hands them out.
//
// A transaction lives on the fabric's zoning capabilities object (its
// "ZoneTransactionActive", "ZoneTransactionDirty", "ZoneTransactionCommit"
// and "ZoneTransactionValidate") and on the fabric's zoning cache with its
// journal and removal set. Writing "ZoneTransactionActive" 1 starts one on
// the switch, 0 rolls it back (the journal is replayed, newest row first);
// "ZoneTransactionCommit" commits it (the removed objects are destroyed and
// the journal freed). Activating or deactivating a zone set also ends it
// as a commit does.
//
// The 2.2 firmware level has no switch transaction: a start there opens the
// library's own, and every edit reaches the switch's defined database as it
// is made (a commit saves that database). A rollback cannot take back what
// the switch already holds: it closes the transaction keeping the edits,
// reads the defined database again from the switch and answers -36.
//
// Every function runs under the object-model lock.
#pragma once

#include <string>

class StoredObject;
struct SessionContext;

// The capabilities object above a defined or active zoning database,
// zone set, zone or alias (following "setParent"); null when the chain
// breaks.
StoredObject* zoningCapabilitiesAbove(StoredObject* object);

// For an edit that needs an open transaction (creation and deletion of zone
// sets, zones and aliases, member edits): 0 with the fabric key when the
// capabilities object's "ZoneTransactionActive" is 1; -40 when it is 0;
// -29 without a readable flag or without a fabric key.
int requireOpenZoneTransaction(StoredObject* capabilities, std::string& fabricKey);
// Whether the capabilities object's "ZoneTransactionActive" reads 1.
bool zoneTransactionOpen(const StoredObject& capabilities);
// Marks the open transaction dirty ("ZoneTransactionDirty" 1).
void markZoneTransactionDirty(StoredObject* capabilities);

// Whether the fabric's switch transaction is open.
bool switchTransactionOpen(const std::string& fabricKey);
// At the end of a session, before its context goes: rolls the fabric's
// open switch transaction back (its failure is ignored: the session ends
// anyway) and forgets it.
void rollBackTransactionAtClose(const std::string& fabricKey);

// A zone set activated while the fabric's transaction was open: the switch
// committed the transaction with the activation, so it ends here as a
// commit does (flags closed, removed objects destroyed, journal freed, the
// switch transaction forgotten).
void endZoneTransactionKeepingChanges(StoredObject& capabilities, const std::string& fabricKey);

// Registers the zoning attribute codes with AddAttributes and hooks the
// session close; called once at start-up, after installSessionZoningCache.
void installZoningTransaction();
