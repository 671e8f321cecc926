#include "services/FirmwareDownload.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include <orvane/status.h>
#include <orvane/transfers.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "connection/clilib_transfer.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"

std::atomic<int> firmwareDownloadInProgress{0};

namespace {

constexpr char kSourceFile[] = "fwDownload";
constexpr std::size_t kEntrySize = 48;
// Room of one result line: identifier, ':', status and ';'.
constexpr std::size_t kLineRoom = 96;
// The request layer's code after which a waiting direct download tries no
// further switch: the switch reported a failed download, or the transfer
// check failed.
constexpr int kStopCodes[] = {SVC_ERR_SWITCH_DOWNLOAD_FAILED, -60608};

std::atomic<FirmwareEventSink> theSink{nullptr};

// The text of one 48-byte list entry, at most 47 characters.
std::string entryText(const char* entry) {
    return std::string(entry, strnlen(entry, kEntrySize - 1));
}

std::size_t entryCount(const char* list) {
    std::size_t count = 0;
    while (list[count * kEntrySize] != '\0')
        ++count;
    return count;
}

void appendLine(std::string& lines, const std::string& oid, int status) {
    lines += oid;
    lines += ':';
    lines += std::to_string(status);
    lines += ';';
}

// A caller block of at least `size` bytes holding `text`; null without
// memory.
char* resultBlock(const std::string& text, std::size_t size) {
    if (size < text.size() + 1)
        size = text.size() + 1;
    auto* block = static_cast<char*>(falAllocObject(size));
    if (block != nullptr)
        std::memcpy(block, text.c_str(), text.size() + 1);
    return block;
}

void raiseFailure(const std::string& fabricOid, const char* format, int status,
                  const std::string& switchOid) {
    char description[64];
    std::snprintf(description, sizeof description, format, status);
    raiseFirmwareEvent({fabricOid, kFirmwareFailedEvent, description, switchOid});
}

bool stopsTheList(int status) {
    for (int code : kStopCodes)
        if (status == code)
            return true;
    return false;
}

// Writes the frame's text of a call turned away by a shutdown.
int refusedIfShuttingDown(int status, const char* text) {
    if (status == FABAPI_ERR_SHUTTING_DOWN)
        traceRecord(Vosk_Ext_API, text, "", "", kSourceFile, __LINE__);
    return status;
}

// Reports the percentage of the image sent while one direct download runs.
class FwDownloadCounter : public CVoskThread {
public:
    FwDownloadCounter(const char* fabricOid, const unsigned char wwn[8])
        : CVoskThread("FwDownloadCounter"), fabricOid_(fabricOid), switchOid_(switchOidOfWwn(wwn)) {
    }
    ~FwDownloadCounter() override { stop(); }

    void run() override {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                if (wakeup_.wait_for(lock, internalTiming().firmwareCompletionPollPause,
                                     [this] { return stopRequested(); }))
                    return;
            }
            const int percent = getDownloadPercent();
            if (percent > 0) {
                char description[48];
                std::snprintf(description, sizeof description, "completion status: %d", percent);
                raiseFirmwareEvent({fabricOid_, kFirmwareProgressEvent, description, switchOid_});
            }
            if (percent >= 100)
                return;
        }
    }

protected:
    void wake() override {
        std::lock_guard<std::mutex> lock(mutex_);
        wakeup_.notify_all();
    }

private:
    std::string fabricOid_;
    std::string switchOid_;
    std::mutex mutex_;
    std::condition_variable wakeup_;
};

} // namespace

void setFirmwareEventSink(FirmwareEventSink sink) {
    theSink.store(sink);
}

void raiseFirmwareEvent(const FirmwareEvent& event) {
    if (FirmwareEventSink sink = theSink.load())
        sink(event);
}

int decodeOidWwn(const char* oid, unsigned char*& wwn) {
    wwn = nullptr;
    unsigned int type = 0;
    unsigned int bytes[8] = {};
    char tail = 0;
    const std::string text = entryText(oid);
    if (std::sscanf(text.c_str(), "%04x%02x%02x%02x%02x%02x%02x%02x%02x%c", &type, &bytes[0],
                    &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7],
                    &tail) != 9)
        return -1;
    wwn = new unsigned char[9];
    for (int i = 0; i < 8; ++i)
        wwn[i] = static_cast<unsigned char>(bytes[i]);
    wwn[8] = 0;
    return static_cast<int>(type);
}

std::string switchOidOfWwn(const unsigned char wwn[8]) {
    char text[48];
    std::snprintf(text, sizeof text, "%04x%02x%02x%02x%02x%02x%02x%02x%02x", ObjectType::Switch,
                  wwn[0], wwn[1], wwn[2], wwn[3], wwn[4], wwn[5], wwn[6], wwn[7]);
    return text;
}

int checkFirmwareEntry(const char* entry, FirmwareTarget& target) {
    const std::string oid = entryText(entry);
    std::string fabricOid;
    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* object = findObjectByOid(oid.c_str());
        if (object == nullptr)
            return FABAPI_ERR_BAD_ARGUMENT;
        unsigned short type = 0;
        if (!object->getShortAttr("ObjType", type) || type != ObjectType::Switch)
            return -6;
        void* handle = nullptr;
        if (GetFabricHandleOfObject(object, handle) != 0 || handle == nullptr)
            return kEntrySkipped;
        target.handle = static_cast<SessionContext*>(handle);
        object->getFirstRelation("setParent", fabricOid);
    }
    unsigned char* wwn = nullptr;
    if (decodeOidWwn(oid.c_str(), wwn) < 0)
        return -6;
    std::memcpy(target.wwn, wwn, sizeof target.wwn);
    delete[] wwn;
    std::snprintf(target.fabricOid, sizeof target.fabricOid, "%s", fabricOid.c_str());
    return 0;
}

// ---------------------------------------------------------------------------
// The download job

FwDownload::FwDownload(const char* switchList, const char* firmwarePath)
    : CVoskThread("FwDownload"), switchList_(switchList, (entryCount(switchList) + 1) * kEntrySize),
      firmwarePath_(firmwarePath), mode_(Direct) {}

FwDownload::FwDownload(const FirmwareTarget& target, const char* firmwarePath, const char* hostName,
                       const char* hostLogin, const char* hostPassword)
    : CVoskThread("FwDownload"), target_(target), firmwarePath_(firmwarePath), hostName_(hostName),
      hostLogin_(hostLogin), hostPassword_(hostPassword), mode_(Self) {}

FwDownload::~FwDownload() {
    // The password copy is wiped before its memory is given back.
    if (!hostPassword_.empty())
        std::memset(hostPassword_.data(), 0, hostPassword_.size());
}

int FwDownload::startJob() {
    firmwareDownloadInProgress.fetch_add(1);
    if (start() != 0) {
        firmwareDownloadInProgress.fetch_sub(1);
        return -1;
    }
    return 0;
}

void FwDownload::run() {
    try {
        if (mode_ == Direct)
            runDirect();
        else
            runSelf();
    } catch (...) {
        // Out of memory in a job ends the job; nothing leaves the thread.
    }
    delete this;
    // Lowered last, once nothing of the job is left.
    firmwareDownloadInProgress.fetch_sub(1);
}

void FwDownload::runDirect() {
    for (const char* entry = switchList_.data(); *entry != '\0'; entry += kEntrySize) {
        FirmwareTarget target;
        if (checkFirmwareEntry(entry, target) != 0)
            continue;
        int status = 0;
        {
            FwDownloadCounter counter(target.fabricOid, target.wwn);
            {
                LockGuard device(getSwitchRequestMutex());
                counter.start();
                status = firmwareDownloadFromFile(target.handle, target.wwn, firmwarePath_.c_str(),
                                                  false);
            }
            // Stopped with the device-access lock released.
            counter.terminate();
        }
        if (status != 0)
            raiseFailure(target.fabricOid, "Download Failed: %d", status,
                         switchOidOfWwn(target.wwn));
    }
}

void FwDownload::runSelf() {
    const int status = selfRequest(target_, firmwarePath_.c_str(), hostName_.c_str(),
                                   hostLogin_.c_str(), hostPassword_.c_str());
    if (status != 0)
        raiseFailure(target_.fabricOid, "Download Failed: %d", status, switchOidOfWwn(target_.wwn));
}

int FwDownload::selfRequest(const FirmwareTarget& target, const char* firmwarePath,
                            const char* hostName, const char* hostLogin, const char* hostPassword) {
    LockGuard device(getSwitchRequestMutex());
    const int status = firmwareDownloadFromServer(target.handle, target.wwn, 1, firmwarePath,
                                                  hostName, hostLogin, hostPassword);
    return status != 0 ? FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS : 0;
}

// ---------------------------------------------------------------------------
// Implementations

int Int_FirmwareDownloadDirect(const char* switchList, const char* firmwarePath, bool wait,
                               char** result) {
    const int status = gatedCall(InitCheck::Required, [&]() -> int {
        if (switchList == nullptr || firmwarePath == nullptr || result == nullptr ||
            switchList[0] == '\0')
            return FABAPI_ERR_BAD_ARGUMENT;
        const std::size_t entries = entryCount(switchList);
        if (!wait) {
            char* block = resultBlock("", 1);
            if (block == nullptr)
                return FABAPI_ERR_OUT_OF_MEMORY;
            auto* job = new (std::nothrow) FwDownload(switchList, firmwarePath);
            if (job == nullptr || job->startJob() != 0) {
                delete job;
                falFreeObject(block);
                return -1;
            }
            *result = block;
            return 0;
        }
        std::string lines;
        int first = 0;
        for (const char* entry = switchList; *entry != '\0'; entry += kEntrySize) {
            const std::string oid = entryText(entry);
            FirmwareTarget target;
            int entryStatus = checkFirmwareEntry(entry, target);
            if (entryStatus == kEntrySkipped)
                continue;
            bool stop = false;
            if (entryStatus == 0) {
                int sent = 0;
                {
                    LockGuard device(getSwitchRequestMutex());
                    sent = firmwareDownloadFromFile(target.handle, target.wwn, firmwarePath, true);
                }
                if (sent != 0) {
                    raiseFailure(target.fabricOid, "Download Failed. Internal Error Code: %d", sent,
                                 oid);
                    entryStatus = FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS;
                    stop = stopsTheList(sent);
                }
            }
            appendLine(lines, oid, entryStatus);
            if (first == 0)
                first = entryStatus;
            if (stop)
                break;
        }
        char* block = resultBlock(lines, kLineRoom * (entries + 1) + 1);
        if (block == nullptr)
            return FABAPI_ERR_OUT_OF_MEMORY;
        *result = block;
        return first;
    });
    return refusedIfShuttingDown(status,
                                 "Unable to perform FirmwareDownloadDirect. API shutting down.");
}

int Int_FirmwareDownloadSelf(const char* switchList, const char* firmwarePath, bool wait,
                             const char* hostName, const char* hostLogin, const char* hostPassword,
                             char** result) {
    const int status = gatedCall(InitCheck::Required, [&]() -> int {
        if (switchList == nullptr || firmwarePath == nullptr || hostName == nullptr ||
            hostLogin == nullptr || hostPassword == nullptr || result == nullptr ||
            switchList[0] == '\0' || firmwarePath[0] == '\0')
            return FABAPI_ERR_BAD_ARGUMENT;
        const std::size_t entries = entryCount(switchList);
        std::string lines;
        int first = 0;
        for (const char* entry = switchList; *entry != '\0'; entry += kEntrySize) {
            const std::string oid = entryText(entry);
            FirmwareTarget target;
            int entryStatus = checkFirmwareEntry(entry, target);
            if (entryStatus == kEntrySkipped)
                continue;
            if (entryStatus != 0) {
                // Later entries are not tried.
                appendLine(lines, oid, entryStatus);
                if (first == 0)
                    first = entryStatus;
                break;
            }
            if (wait) {
                entryStatus = FwDownload::selfRequest(target, firmwarePath, hostName, hostLogin,
                                                      hostPassword);
                if (entryStatus != 0)
                    raiseFailure(target.fabricOid, "Download Failed: %d", entryStatus, oid);
                appendLine(lines, oid, entryStatus);
            } else {
                auto* job = new (std::nothrow)
                    FwDownload(target, firmwarePath, hostName, hostLogin, hostPassword);
                entryStatus = job == nullptr ? -1 : job->startJob();
                if (entryStatus != 0)
                    delete job;
            }
            if (first == 0)
                first = entryStatus;
        }
        char* block = resultBlock(lines, wait ? kLineRoom * (entries + 1) + 1 : kLineRoom + 1);
        if (block == nullptr)
            return FABAPI_ERR_OUT_OF_MEMORY;
        *result = block;
        return first;
    });
    return refusedIfShuttingDown(status,
                                 "Unable to perform FirmwareDownloadSelf. API Shutting down.");
}

// ---------------------------------------------------------------------------
// Exports

int FirmwareDownloadDirect(const char* switchList, const char* firmwarePath, bool wait,
                           char** result) {
    return runExport(
        "FirmwareDownloadDirect",
        [&] { return Int_FirmwareDownloadDirect(switchList, firmwarePath, wait, result); },
        kSourceFile);
}

int FirmwareDownloadSelf(const char* switchList, const char* firmwarePath, bool wait,
                         const char* hostName, const char* hostLogin, const char* hostPassword,
                         char** result) {
    return runExport(
        "FirmwareDownloadSelf",
        [&] {
            return Int_FirmwareDownloadSelf(switchList, firmwarePath, wait, hostName, hostLogin,
                                            hostPassword, result);
        },
        kSourceFile);
}
