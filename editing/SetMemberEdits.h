// AddSetMember and RemoveSetMember: members added to or removed from a
// set-valued attribute of one object. The attribute tag and the target's
// type choose the path: the member lists of zones, aliases and zone sets
// (inside the zoning transaction, undone by a rollback), of security
// policies (inside the security transaction), the node and address sets of
// a platform, and a switch's licence keys (neither of the last two needs a
// transaction nor is undone).
#pragma once

// The attribute tags the two exports take.
namespace set_member_tag {
inline constexpr unsigned ZoneMembers = 0x800b0a06;
inline constexpr unsigned ZoneAliasMembers = 0x800b0a08;
inline constexpr unsigned ZoneSetMembers = 0x800b0b02;
inline constexpr unsigned PolicyMembers = 0x800b0e9b;
inline constexpr unsigned LicenseKeys = 0x10021f;
// Refused below the 2.6 fabric level; no path takes them.
inline constexpr unsigned PolicySetOids = 0x800b0e99;
inline constexpr unsigned PhysSwitchGroupOid = 0xb0225;
} // namespace set_member_tag

// The longest security policy name the switch's request field takes.
inline constexpr unsigned kPolicyNameMax = 29;
// A licence key entry of a member list.
inline constexpr unsigned kLicenseKeyEntry = 64;

// The exports without their frame. `adding` picks the direction.
int Int_SetMemberEdit(bool adding, const char* targetOid, unsigned attributeTag,
                      const char* members);
