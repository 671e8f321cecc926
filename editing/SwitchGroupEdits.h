// Creation and deletion of physical switch groups (object type 35), and the
// start-up registration of the switch group and defined policy edits in
// the object edit table.
#pragma once

class StoredObject;
struct SessionContext;

// Largest number of member switches of one group, and the room the switch
// gives the group name.
inline constexpr int kSwitchGroupMaxMembers = 128;
inline constexpr int kSwitchGroupNameMax = 32;

// Defines the group of a PhysSwitchGroupDefinition on the switch, then
// stores it: the stored object of type 35 named by the first member's
// world wide name, with "PhysGroupName", its class, and the relations
// "setParent" (group to member) and "setPhysSwitchGroup" (member to group)
// for the members in the store. The new identifier goes into `createdOid`
// (48 bytes). Nothing is stored or sent unless the whole definition is
// valid. Takes the object-model lock, and the device-access lock around
// the switch request. 0; -3 a null argument, another type, a name that is
// empty, has no NUL in its field or is longer than 32, no member list, no
// member, more than 128 members, or a member that is not a stored switch;
// -2 out of memory; or the translated refusal of the switch.
int createSwitchGroupObject(StoredObject* fabric, SessionContext* fabricHandle, const void* record,
                            char* createdOid);

// Deletes the group on the switch and then its stored object, after it is
// taken out of each member's "setPhysSwitchGroup". The caller holds the
// object-model lock; the device-access lock is taken inside. 0; -48 no
// "PhysGroupName"; -17 no "WWN"; -47 the switch refused (the store stays
// unchanged).
int deleteSwitchGroupObject(StoredObject* group, SessionContext* fabricHandle);

// Registers the creators and deleters of switch groups (35) and defined
// policies (49).
void installSwitchGroupAndPolicyEdits();
