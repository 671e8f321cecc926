// Creation and deletion of the security policies of a fabric's defined
// policy set (object type 49). Both go to the proxy switch at once and need
// the fabric's open security transaction.
#pragma once

class StoredObject;
struct SessionContext;

// Creates the policy of a SecurityPolicyRecord (its name and its member
// list; a list of no entries is sent as "EMPTY") on the switch, then stores
// it: the object of type 49 keyed by the policy number and the fabric's
// "FabricCounter", with "PolicyName", its class and the links to the
// defined set; on the security capabilities "SecurityTransactionDirty"
// becomes 1 and "CommitSecurityTransaction" 0. The new identifier goes into
// `createdOid` (48 bytes). Nothing is stored or sent unless the definition
// is valid. Takes the object-model lock, and the device-access lock around
// the switch request. 0; -3 a null record, buffer or member list, a name
// outside the known policies or holding ";" or "|", or a member that cannot
// be sent; -13 no fabric, "FabricCounter", security capabilities or
// defined set, another type or no name; -40 no security transaction open;
// -2 out of memory; or the translated refusal of the switch.
int createDefinedPolicyObject(StoredObject* fabric, SessionContext* fabricHandle,
                              const void* record, char* createdOid);

// Before the deletion walk looks up the handle: 0; -17 no security
// capabilities above the policy; -40 no security transaction open.
int checkDefinedPolicyDeletion(StoredObject* policy);
// Deletes the policy on the switch and marks the security transaction
// (active, dirty, not committed); the stored object stays. The caller holds
// the object-model lock; the device-access lock is taken inside. 0; -17 no
// security capabilities; or the translated refusal of the switch.
int deleteDefinedPolicyObject(StoredObject* policy, SessionContext* fabricHandle);
