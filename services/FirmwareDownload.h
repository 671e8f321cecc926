// Firmware downloads to switches: an image file of the management host sent
// by the library (direct), or an image that each switch fetches from a file
// server (self). A call either waits and reports one line per switch, or
// returns at once and leaves the work to download threads, which report
// progress and failures as library events.
#pragma once

#include <atomic>
#include <string>

#include "foundation/CVoskThread.h"

struct SessionContext;

// The number of download threads running: raised before a job's thread
// starts, lowered when its work is done. Session close calls and the
// shutdown refuse to run while it is not 0.
extern std::atomic<int> firmwareDownloadInProgress;

// Event codes of the library's firmware events.
constexpr int kFirmwareProgressEvent = 8;
constexpr int kFirmwareFailedEvent = 10;

// One library event of a download: the switch's fabric, the code, the
// description text and the one switch it concerns.
struct FirmwareEvent {
    std::string fabricOid;
    int code = 0;
    std::string description;
    std::string switchOid;
};

// Where firmware events go: the event manager connects itself here at
// start-up and stamps, numbers and delivers each event. The sink is called
// with no lock of the download held. Until one is set, events go nowhere.
using FirmwareEventSink = void (*)(const FirmwareEvent& event);
void setFirmwareEventSink(FirmwareEventSink sink);
// Hands an event to the sink set, if any.
void raiseFirmwareEvent(const FirmwareEvent& event);

// What a download to one switch needs, as the entry check finds it.
struct FirmwareTarget {
    SessionContext* handle = nullptr;
    unsigned char wwn[9] = {}; // the eight name bytes and a NUL
    char fabricOid[48] = {};
};

// Results of the entry check besides 0 (target found) and the entry
// statuses -3 (not stored) and -6 (not a switch).
constexpr int kEntrySkipped = 1; // the switch's fabric has no session

// Checks one switch list entry and fills `target`: 0, -3, -6 or
// kEntrySkipped. Takes the object-model lock for the lookups.
int checkFirmwareEntry(const char* entry, FirmwareTarget& target);

// Reads an identifier text into its object type and a new 9-byte block of
// the eight name bytes and a NUL, which the caller frees with delete[].
// -1 (and a null block) when the text is no identifier.
int decodeOidWwn(const char* oid, unsigned char*& wwn);
// The identifier text of a switch of that name.
std::string switchOidOfWwn(const unsigned char wwn[8]);

// One download job run by a thread of its own: the whole list of a direct
// download, or one switch of a self download. It deletes itself when its
// run ends.
class FwDownload : public CVoskThread {
public:
    enum Mode { Direct = 0, Self = 1 };

    // A direct job over `switchList` (48-byte entries ended by an empty one).
    FwDownload(const char* switchList, const char* firmwarePath);
    // A self job for one switch.
    FwDownload(const FirmwareTarget& target, const char* firmwarePath, const char* hostName,
               const char* hostLogin, const char* hostPassword);
    ~FwDownload() override;

    // Raises the running count, then starts the thread: 0, or -1 (the count
    // lowered again) when it could not be started. On -1 the caller still
    // owns and deletes the job.
    int startJob();

    void run() override;

    // The self request in the caller's thread, under the device-access lock:
    // 0, or -43 for any refusal.
    static int selfRequest(const FirmwareTarget& target, const char* firmwarePath,
                           const char* hostName, const char* hostLogin, const char* hostPassword);

private:
    void runDirect();
    void runSelf();

    FirmwareTarget target_;
    std::string switchList_; // the entries, 48 bytes each, and the empty one
    std::string firmwarePath_;
    std::string hostName_;
    std::string hostLogin_;
    std::string hostPassword_;
    Mode mode_;
};

// The exports' implementations.
int Int_FirmwareDownloadDirect(const char* switchList, const char* firmwarePath, bool wait,
                               char** result);
int Int_FirmwareDownloadSelf(const char* switchList, const char* firmwarePath, bool wait,
                             const char* hostName, const char* hostLogin, const char* hostPassword,
                             char** result);
