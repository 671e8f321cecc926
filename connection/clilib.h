// The request layer: one plain operation per management request that a
// switch understands.
//
// Every operation takes the session context first, checks its arguments
// (-10021, nothing sent), sends one request over the session's RPC
// connection, copies what it needs from the reply into typed blocks
// (released with freeApiRecord or the free operation named beside it) and
// frees the reply on every path. Send failures give -10023 (no connection)
// or -10200 (no reply); a switch's error status goes through
// handleSwitchStatus.
#pragma once

#include <cstddef>
#include <cstdint>

#include "connection/clilib_records.h"
#include "connection/clilib_session.h"
#include "remote_api.h"

// --- Sending and error recovery ---------------------------------------

// Send one request with procedure 40, 60 or 125. 0 with the reply (release
// it with the matching free operation), or a status and no reply. A reply
// whose arm is not the one asked for counts as no reply.
int sendMSSvrRequest(SessionContext* ctx, const MSRequestArgs* args, MSReply** reply);
int sendNSSvrRequest(SessionContext* ctx, const NSRequestArgs* args, NSReply** reply);
int sendMPSRequest(SessionContext* ctx, const MPSRequestArgs* args, MPSReply** reply);
void freeMSReply(MSReply* reply);
void freeNSReply(NSReply* reply);
void freeMPSReply(MPSReply* reply);

// The status to report for a switch's error status: when it maps to -86,
// -56, -21 or -14 and the fabric has a stored object, the fabric re-check
// decides; otherwise the status comes back unchanged.
int handleSwitchStatus(SessionContext* ctx, int status);

// Procedure 4: the switch's firmware version text (32 characters at most,
// NUL-terminated) in a new typed block.
int getSwitchFirmwareVersion(SessionContext* ctx, const unsigned char switchName[8],
                             char** version);

// --- World wide name text, checksums, loop addresses --------------------

// Reads eight colon-separated hexadecimal numbers; the position after the
// name, or -1 when fewer than eight are read or one exceeds 255. `out` may
// be null to only check.
int parseWWNText(const char* text, unsigned char out[8]);
// "%02x:%02x:...": 23 characters and a NUL into `out` (24 bytes).
void formatWWNText(const unsigned char wwn[8], char out[24]);
// 0, -1 or 1 as a byte-wise comparison of the two names.
int compareWWN(const unsigned char a[8], const unsigned char b[8]);
// The sum of the bytes as unsigned values.
std::uint32_t byteSum(const void* data, std::size_t length);
// 0 minus the sum of the little-endian 16-bit words, modulo 65536 (an odd
// last byte is ignored).
std::uint16_t imageChecksum16(const void* data, std::size_t length);
// Index 1 to 127 of a valid arbitrated-loop physical address (low byte of
// `value`), 0 for any other value.
int alpaToLoopIndex(unsigned int value);

// --- Switches ------------------------------------------------------------

// Request 1285 with the caller's record; a copy of the reply's record.
int switchGetInfo(SessionContext* ctx, const SwitchInfoRecord* request, SwitchInfoRecord** result);
// Request 1287; a copy of the reply's record whose licence key and product
// lists lie in blocks of their own. Release with freeSwitchInfo2. A key
// fills its 64-character entry whole and then has no NUL.
int switchGetInfo2(SessionContext* ctx, const SwitchInfo2Record* request,
                   SwitchInfo2Record** result);
void freeSwitchInfo2(SwitchInfo2Record* record);

// Extra value of switchSetInfo2 mask 0x4000 (number and name) and 0x8000
// (the two texts).
struct SwitchInfo2Extra {
    unsigned int number;
    char name[8];
    char text1[32];
    char text2[32];
};

// The value given to switchSetInfo and switchSetInfo2: a text for the text
// fields (and `secondText` for mask 64), a number for the number fields,
// `extra` for masks 0x4000 and 0x8000. The texts of the 16- and 32-character
// fields (masks 1, 2, 0x20, 0x40, 0x80, 0x100, 0x200) and of the 64-character
// field (0x2000) go out whole, without a NUL when they fill the field; a
// longer text is refused (-10021). The text of mask 0x400 is cut to 15.
struct SwitchInfoValue {
    const char* text = nullptr;
    const char* secondText = nullptr;
    unsigned int number = 0;
    const SwitchInfo2Extra* extra = nullptr;
};

// Requests 1286 and 1288: one field, named by a single mask bit.
int switchSetInfo(SessionContext* ctx, unsigned int mask, const unsigned char switchName[8],
                  const SwitchInfoValue& value);
int switchSetInfo2(SessionContext* ctx, unsigned int mask, const unsigned char switchName[8],
                   const SwitchInfoValue& value);

// Request 1289: the switch's API version.
int getAPIversion(SessionContext* ctx, const unsigned char switchName[8], int* version);

// Request 1281: the fabric's switches. Release with freeDiscoverFabricResult.
int discoverFabric(SessionContext* ctx, int kind, DiscoverFabricRecord** result);
void freeDiscoverFabricResult(DiscoverFabricRecord* record);

// Request 1557: the switch's control processor.
int cpGetInfo(SessionContext* ctx, const unsigned char switchName[8], unsigned int index,
              CPInfoRecord** result);
// Request 1559: the enclosure; each list in a block of its own. Release
// with freeSwitchEnclosure2.
int switchGetEnclosure2(SessionContext* ctx, const unsigned char switchName[8],
                        EnclosureRecord** result);
void freeSwitchEnclosure2(EnclosureRecord* record);

// Request 1830: one block with the text, the number and the names (the
// name pointer is null when there are none).
int productGet(SessionContext* ctx, const unsigned char switchName[8], int selector,
               ProductRecord** result);

// Requests 1824 and 1825: the key text goes out whole, up to 64 characters
// (no NUL at 64); a longer key is refused (-10021).
int switchAddLicenseKey(SessionContext* ctx, const unsigned char switchName[8], const char* key);
int switchRemoveLicenseKey(SessionContext* ctx, const unsigned char switchName[8], const char* key);

// --- Switch groups -------------------------------------------------------

// Group names fill their 32-character fields whole: a name of 32 has no
// NUL there, and a longer one is refused (-10021).
int switchGetSGroup(SessionContext* ctx, const unsigned char switchName[8], SGroupRecord** result);
int switchSetSGroup(SessionContext* ctx, const unsigned char switchName[8], const char* groupName,
                    int value1, int value2, const WWNBytes members[128]);
int switchDelSGroup(SessionContext* ctx, const unsigned char switchName[8], const char* groupName);
int switchRenameSGroup(SessionContext* ctx, const unsigned char switchName[8], const char* oldName,
                       const char* newName);

// --- Ports -----------------------------------------------------------------

int portGetInfo(SessionContext* ctx, const unsigned char portName[8], PortInfoRecord** result);
int portGetInfo2(SessionContext* ctx, const unsigned char portName[8], PortInfo2Record** result);
int flportGetInfo(SessionContext* ctx, unsigned int value, FLPortInfoRecord** result);
int portGetPstats(SessionContext* ctx, const unsigned char portName[8], PortStatsRecord** result);
int portGetPerrs(SessionContext* ctx, const unsigned char portName[8], PortErrorsRecord** result);
// Request 1542 (masks 1, 2, 4) and 1554 (masks 1, 2, 4, 8, 16, 32).
int portSetInfo(SessionContext* ctx, unsigned int mask, const unsigned char portName[8],
                unsigned int value);
int portSetInfo2(SessionContext* ctx, unsigned int mask, const unsigned char portName[8],
                 unsigned int value);
// Requests 1544 and 1548: only the value 1 (clear the counters).
int portSetPstats(SessionContext* ctx, int value, const unsigned char portName[8]);
int portSetPerrs(SessionContext* ctx, int value, const unsigned char portName[8]);

// Requests 1545 and 1546: a 256-byte block of device text.
inline constexpr std::size_t DeviceTextSize = 256;
int deviceGet(SessionContext* ctx, unsigned int index, char** result);
int deviceGet2(SessionContext* ctx, unsigned int index, char** result);

// --- Port modules ----------------------------------------------------------

// Result of getPortModuleInfo: the entries in one block, each entry's port
// list in a block of its own. Release with freePortModuleInfo.
struct PortModuleInfo {
    char switchName[8];
    unsigned int count;
    PortModuleEntry* entries;
};
int getPortModuleInfo(SessionContext* ctx, const unsigned char switchName[8],
                      PortModuleInfo** result);
void freePortModuleInfo(PortModuleInfo* info);

// Request 1552: the reply's record with its pairs in a block of its own.
// Release with freePortModuleState.
int setPortModuleState(SessionContext* ctx, const PortModuleStateArgs* request,
                       PortModuleStateArgs** result);
void freePortModuleState(PortModuleStateArgs* record);

// --- Platforms -------------------------------------------------------------

// Result of platGetNameList: the entries follow the head in the same block.
struct PlatformNameList {
    int count;
    PlatformName* entries;
};
int platGetNameList(SessionContext* ctx, PlatformNameList** result);
// Request 404: one block with the attributes and both of their lists.
int platGetAttrib(SessionContext* ctx, const PlatformName* platform, PlatformAttributes** result);
int platGetInfo(SessionContext* ctx, int selector, int* value);
int platRegister(SessionContext* ctx, const PlatformAttributes* attributes);
int platDeregister(SessionContext* ctx, const PlatformName* platform);
// Procedure 127: the reply's status as it is (no recovery).
int platSetInfo(SessionContext* ctx, const PlatformSetArgs* args);
