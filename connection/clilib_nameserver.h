// Name-server queries (procedure 60) and fabric configuration server
// queries (management requests whose command code is the server's own).
//
// Results are typed blocks released with freeApiRecord unless a free
// operation is named beside the request.
#pragma once

#include <cstdint>
#include <vector>

#include "connection/clilib.h"

// Query codes of the name server that the request layer sends.
enum NameServerQuery : int {
    NS_GA_NXT = 256,
    NS_GID_A = 257,
    NS_GPN_ID = 274,
    NS_GNN_ID = 275,
    NS_GCS_ID = 276,
    NS_GFT_ID = 279,
    NS_GSPN_ID = 280,
    NS_GPT_ID = 282,
    NS_GIPP_ID = 283,
    NS_GFPN_ID = 284,
    NS_GHA_ID = 285,
    NS_GID_PN = 289,
    NS_GIPP_PN = 299,
    NS_GID_NN = 305,
    NS_GIP_NN = 309,
    NS_GIPA_NN = 310,
    NS_GSNN_NN = 313,
    NS_GNN_IP = 339,
    NS_GIPA_IP = 342,
    NS_GID_FT = 369,
    NS_GPN_FT = 370,
    NS_GNN_FT = 371,
    NS_GID_PT = 417,
    NS_GID_IPP = 433,
    NS_GPN_IPP = 434,
    NS_RSPN_ID = 536,
    NS_RSNN_NN = 569,
    NS_PORT_LIST = 768,
    NS_ENTRY_BY_PORT_ID = 4097,
};

// Longest symbolic port or node name.
inline constexpr std::size_t SymbolicNameMax = 255;

// A name-server entry (result of GA_NXT and of query 4097). Port
// identifiers and the hard address are 24-bit numbers, domain in the high
// byte. The symbolic names hold `length` characters and stay NUL-terminated.
struct NameServerEntry {
    unsigned char portType;
    int portId;
    unsigned char portName[8];
    int symbolicPortNameLength;
    char symbolicPortName[SymbolicNameMax + 1];
    unsigned char nodeName[8];
    int symbolicNodeNameLength;
    char symbolicNodeName[SymbolicNameMax + 1];
    unsigned char initialProcessAssociator[8];
    unsigned char nodeIpAddress[16];
    int classOfService;
    unsigned char fc4Types[32];
    unsigned char portIpAddress[16];
    unsigned char fabricPortName[8];
    int hardAddress;
};

// Result of GSPN_ID and GSNN_NN: the length and the NUL-terminated name.
struct SymbolicName {
    int length;
    char text[SymbolicNameMax + 1];
};

// Elements of the results of GID_NN, GID_FT, GID_PT (NameServerPortId) and
// GPN_FT, GNN_FT (NameServerPortName); the block's byte size over the
// element size gives the count.
struct NameServerPortId {
    int control;
    int portId;
};
struct NameServerPortName {
    int control;
    int portId;
    unsigned char name[8];
};

// The argument of a query: a port identifier (24-bit number) for the codes
// that take one, otherwise the bytes to send (8 for a name, 16 for an IP
// address).
struct NameServerArgument {
    unsigned int portId = 0;
    const unsigned char* bytes = nullptr;
};

// Sends query `code` with `argument` (or `byteArgument` for GID_A, GID_FT,
// GPN_FT, GNN_FT, GID_PT) and converts the reply into a typed block (null
// for an empty list, a GSPN_ID or GSNN_NN of length 0, or a code without a
// conversion). A code the name server does not take gives -10021 unsent.
int NSSvrRequest(SessionContext* ctx, int code, const NameServerArgument& argument,
                 unsigned char byteArgument, void** result);

// The general forwarder: `argument` points at the port identifier (an
// unsigned int) or at the bytes to send; only GA_NXT takes null (port 0).
int snsRequest(SessionContext* ctx, int code, const void* argument, void** result);

int snsGetNextEntry(SessionContext* ctx, unsigned int portId, NameServerEntry** result);
int snsGetEntryByPortID(SessionContext* ctx, unsigned int portId, NameServerEntry** result);
int snsGetPortName(SessionContext* ctx, unsigned int portId, unsigned char** portName);
int snsGetPortIDByPortName(SessionContext* ctx, const unsigned char portName[8], int** portId);
int snsGetPortIDsByNodeName(SessionContext* ctx, const unsigned char nodeName[8],
                            NameServerPortId** portIds);
int snsGetSymbolicNodeName(SessionContext* ctx, const unsigned char nodeName[8],
                           SymbolicName** name);
// Query 768: the entry count and the first entry of a type-19 block (count
// 0 and null for none). Release with freeEntryList768.
int snsGetEntryList768(SessionContext* ctx, int* count, NSPortListEntry** entries);
void freeEntryList768(NSPortListEntry* entries);

// Registrations of a symbolic port name (RSPN_ID) and node name (RSNN_NN):
// at most 255 characters, else -10021.
int snsSetSPN(SessionContext* ctx, unsigned int portId, const char* text, std::size_t length);
int snsSetSNN(SessionContext* ctx, const unsigned char nodeName[8], const char* text,
              std::size_t length);

// --- Fabric configuration server ------------------------------------------

enum FabricConfigQuery : int {
    FCS_GIEL = 257,
    FCS_GIET = 273,
    FCS_GDID = 274,
    FCS_GMID = 275,
    FCS_GFN = 276,
    FCS_GIELN = 277,
    FCS_GMAL = 278,
    FCS_GIEIL = 279,
    FCS_GPL = 280,
    FCS_GPT = 289,
    FCS_GPPN = 290,
    FCS_GAPNL = 292,
    FCS_GPS = 294,
};

// The reply of a fabric configuration server query as a plain record; the
// members that the code fills (see sendFCSQuery).
struct FCSQueryResult {
    std::vector<ElementEntry> elements;       // GIEL, GPL, GAPNL
    unsigned int value = 0;                   // GIET, GMID, GPT, GPPN, GMAL
    unsigned char bytes[256] = {};            // GDID (4), GFN, GPS (8), GIELN (256)
    std::vector<std::vector<char>> addresses; // GMAL: 256 bytes each
    unsigned int firstWord = 0;               // GIEIL
    std::vector<char> data;                   // GIEIL
};

// Sends query `code` naming the object of `args` (null: an empty name) with
// `text` (null: an empty text) and fills `out` from the reply.
int sendFCSQuery(SessionContext* ctx, int code, const FCSQueryArgs* args, const char* text,
                 FCSQueryResult* out);

// Element of the interconnect element and port lists (type 4).
struct FabricElement {
    unsigned char name[8];
    int type; // the low byte of the reply's value
};
// Element of the attached port name list (type 11).
struct AttachedPortName {
    unsigned char name[8];
    unsigned char flags; // bits 8 to 15 of the reply's value
    int portType;        // the low byte of the reply's value: the FC-GS port type
};
// Holder of a list (types 3 and 12): the count and the entries' block (null
// for none). freeApiRecord on the holder releases both.
struct FabricElementList {
    std::uint32_t count;
    FabricElement* entries;
};
struct AttachedPortNameList {
    std::uint32_t count;
    AttachedPortName* entries;
};

int getInterconnectElementList(SessionContext* ctx, FabricElementList** result);
int getPortList(SessionContext* ctx, const unsigned char switchName[8], FabricElementList** result);
int getAttachedPortNameList(SessionContext* ctx, const unsigned char portName[8],
                            AttachedPortNameList** result);
int getDomainID(SessionContext* ctx, const unsigned char switchName[8], int** domainId);
int getPortType(SessionContext* ctx, const unsigned char portName[8], int** portType);
int getPhysicalPortNumber(SessionContext* ctx, const unsigned char portName[8], int** number);
int getPortState(SessionContext* ctx, const unsigned char portName[8], int** state);
int getManagementID(SessionContext* ctx, const unsigned char switchName[8], int** id);
// The logical name as a NUL-terminated text block.
int getInterconnectElementLogicalName(SessionContext* ctx, const unsigned char switchName[8],
                                      char** name);
