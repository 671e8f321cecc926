#include "connection/clilib_transfer.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib.h"
#include "connection/clilib_request.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"

namespace {

constexpr int kDownloadStart = 1832;
constexpr int kDownloadData = 1833;
constexpr int kDownloadAbort = 1834;
constexpr int kDownloadEnd = 1835;
constexpr int kUploadStart = 1836;
constexpr int kUploadData = 1837;
constexpr int kUploadAbort = 1838;
constexpr int kUploadEnd = 1839;
constexpr int kServerDownload = 1842;
constexpr int kDownloadCompletion = 1844;

constexpr unsigned int kCompletionFailed = 0xFFFF0000u;
constexpr unsigned int kCompletionRunning = 0xFFFE0000u;

std::atomic<int> g_downloadPercent{0};

using clilib::MSReplyPtr;

// One request whose envelope status the caller interprets itself: 0 with
// the reply, or -10023 / -10200 and no reply. A reply of another arm counts
// as no reply.
int sendRaw(SessionContext* ctx, const MSRequestArgs& args, MSReplyPtr& reply) {
    Fabric_Connection_Impl_RPC* connection = nullptr;
    try {
        connection = getSessionRPCConnection(ctx);
    } catch (const ConnectionException&) {
        return REQ_ERR_NO_CONNECTION;
    }
    MSReplyPtr answer(connection->rpcMSSvrRequest(&args));
    returnSessionRPCConnection(connection, ctx);
    if (!answer)
        return REQ_ERR_RPC_NO_REPLY;
    if (answer->status == 0 && answer->body.command != args.command)
        return REQ_ERR_RPC_NO_REPLY;
    reply = std::move(answer);
    return 0;
}

// A request whose answer is an IntPair: the recovered envelope status, the
// pair's nonzero first value, or 0 with the second value in `second`.
int pairRequest(SessionContext* ctx, const MSRequestArgs& args, int* second = nullptr) {
    MSReplyPtr reply;
    if (const int status = sendRaw(ctx, args, reply); status != 0)
        return status;
    if (reply->status != 0)
        return handleSwitchStatus(ctx, reply->status);
    const IntPair& pair = reply->body.MSReplyBody_u.pair;
    if (pair.first != 0)
        return pair.first;
    if (second)
        *second = pair.second;
    return 0;
}

MSRequestArgs nameAndHandle(int code, const unsigned char switchName[8], int handle) {
    MSRequestArgs args = clilib::newRequest(code);
    std::memcpy(args.MSRequestArgs_u.wwnInt.wwn, switchName, 8);
    args.MSRequestArgs_u.wwnInt.value = handle;
    return args;
}

// Tells the switch to drop a transfer after the last failure. A failure
// value is returned as it is; an envelope status goes through recovery,
// the abort's own status when it has one, else the failure's, so that an
// ended transfer is never reported as a success.
int abortTransfer(SessionContext* ctx, int code, const unsigned char switchName[8], int handle,
                  bool envelopeFailure, int failure) {
    MSReplyPtr reply;
    const int sent = sendRaw(ctx, nameAndHandle(code, switchName, handle), reply);
    if (!envelopeFailure)
        return failure;
    if (sent == 0 && reply->status != 0)
        return handleSwitchStatus(ctx, reply->status);
    return handleSwitchStatus(ctx, failure);
}

bool validName(const unsigned char* name) {
    return name != nullptr;
}

// Fills one text of a server download: the text and its NUL.
// Fills one text of a server download: a writable copy (the character
// filter of the runtime stores each character back while it encodes) and
// its NUL.
void setText(char*& pointer, u_int& count, std::string& copy) {
    count = static_cast<u_int>(copy.size() + 1);
    pointer = copy.data();
}

} // namespace

int getDownloadPercent() {
    return g_downloadPercent;
}

int downloadToSwitch(SessionContext* ctx, const unsigned char switchName[8], int kind,
                     int totalLength, const unsigned char* data) {
    if (ctx == nullptr || ctx->handle == nullptr || !validName(switchName) || data == nullptr ||
        totalLength <= 0)
        return REQ_ERR_BAD_ARGUMENT;

    MSRequestArgs start = clilib::newRequest(kDownloadStart);
    std::memcpy(start.MSRequestArgs_u.downloadStart.wwn, switchName, 8);
    start.MSRequestArgs_u.downloadStart.value1 = kind;
    start.MSRequestArgs_u.downloadStart.value2 = totalLength;
    int handle = 0;
    if (const int status = pairRequest(ctx, start, &handle); status != 0)
        return status;

    g_downloadPercent = 0;
    const std::size_t total = static_cast<std::size_t>(totalLength);
    std::size_t offset = 0;
    int failures = 0;
    while (offset < total) {
        const std::size_t size = std::min(kTransferChunk, total - offset);
        MSRequestArgs chunk = clilib::newRequest(kDownloadData);
        DownloadDataArgs& piece = chunk.MSRequestArgs_u.downloadData;
        std::memcpy(piece.wwn, switchName, 8);
        piece.handle = handle;
        piece.offset = static_cast<int>(offset);
        piece.checksum = static_cast<int>(byteSum(data + offset, size));
        piece.data.data_len = static_cast<u_int>(size);
        piece.data.data_val = reinterpret_cast<char*>(const_cast<unsigned char*>(data + offset));

        MSReplyPtr reply;
        if (const int status = sendRaw(ctx, chunk, reply); status != 0) {
            // Whether or not the chunk arrived, the switch still holds the
            // transfer open: drop it, so that the next download can start.
            MSReplyPtr ignored;
            sendRaw(ctx, nameAndHandle(kDownloadAbort, switchName, handle), ignored);
            return status;
        }
        const bool envelopeFailure = reply->status != 0;
        const int value = envelopeFailure ? reply->status : reply->body.MSReplyBody_u.pair.first;
        if (value != 0) {
            if (++failures >= kTransferFailureLimit)
                return abortTransfer(ctx, kDownloadAbort, switchName, handle, envelopeFailure,
                                     value);
            continue; // the same chunk again
        }
        offset += size;
        g_downloadPercent = static_cast<int>(offset * 100 / total);
    }
    return pairRequest(ctx, nameAndHandle(kDownloadEnd, switchName, handle));
}

int firmwareDownloadFromFile(SessionContext* ctx, const unsigned char switchName[8],
                             const char* path, bool wait) {
    if (path == nullptr)
        return SVC_ERR_FIRMWARE_FILE_UNREADABLE;
    std::unique_ptr<unsigned char[]> image(new (std::nothrow) unsigned char[kFirmwareImageSize]);
    if (!image)
        return REQ_ERR_NO_MEMORY;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return SVC_ERR_FIRMWARE_FILE_UNREADABLE;
    std::memset(image.get(), 0, kFirmwareDataOffset);
    const std::size_t headerRead = std::fread(image.get(), 1, kFirmwareHeaderSize, file);
    const std::size_t dataLength =
        std::fread(image.get() + kFirmwareDataOffset, 1, kFirmwareDataMax, file);
    // A file with more data than one image carries is refused whole.
    const bool tooLarge = dataLength == kFirmwareDataMax && std::fgetc(file) != EOF;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (tooLarge || failed)
        return SVC_ERR_FIRMWARE_FILE_UNREADABLE;

    const unsigned char* data = image.get() + kFirmwareDataOffset;
    const auto headerWord = [&] { return static_cast<std::uint16_t>(image[8] | (image[9] << 8)); };
    const std::uint16_t expected = headerWord();
    if (headerRead < 10 || expected != imageChecksum16(data, dataLength))
        return SVC_ERR_FIRMWARE_CHECKSUM;

    const int status = downloadToSwitch(
        ctx, switchName, 1, static_cast<int>(kFirmwareDataOffset + dataLength), image.get());
    if (status != 0)
        return status;
    if (headerWord() != expected || imageChecksum16(data, dataLength) != expected)
        return SVC_ERR_SWITCH_DOWNLOAD_FAILED;
    if (!wait)
        return 0;
    int answer = SVC_ERR_SWITCH_DOWNLOAD_RUNNING;
    for (int poll = 0; poll < kFirmwareCompletionPolls; ++poll) {
        std::this_thread::sleep_for(internalTiming().firmwareCompletionPollPause);
        answer = downloadCompletionStatus(ctx, switchName);
        if (answer != SVC_ERR_SWITCH_DOWNLOAD_RUNNING)
            break;
    }
    return answer;
}

int downloadCompletionStatus(SessionContext* ctx, const unsigned char switchName[8]) {
    if (!validName(switchName))
        return REQ_ERR_BAD_ARGUMENT;
    MSRequestArgs args = clilib::newRequest(kDownloadCompletion);
    std::memcpy(args.MSRequestArgs_u.wwn, switchName, 8);
    unsigned int value = 0;
    const int status = clilib::exchange(ctx, args, [&](const clilib::ReplyArm& arm) {
        value = arm.unsignedValue;
        return 0;
    });
    if (status != 0)
        return status;
    if (value == kCompletionFailed)
        return SVC_ERR_SWITCH_DOWNLOAD_FAILED;
    if (value == kCompletionRunning)
        return SVC_ERR_SWITCH_DOWNLOAD_RUNNING;
    return 0;
}

int firmwareDownloadFromServer(SessionContext* ctx, const unsigned char switchName[8], int value,
                               const char* text1, const char* text2, const char* text3,
                               const char* text4) {
    if (ctx == nullptr || !validName(switchName))
        return REQ_ERR_BAD_ARGUMENT;
    MSRequestArgs args = clilib::newRequest(kServerDownload);
    ServerDownloadArgs& server = args.MSRequestArgs_u.serverDownload;
    std::memcpy(server.wwn, switchName, 8);
    server.value = value;
    std::string texts[4] = {text1 ? text1 : "", text2 ? text2 : "", text3 ? text3 : "",
                            text4 ? text4 : ""};
    for (const auto& text : texts)
        if (text.size() + 1 > RM_PATH_TEXT_MAX)
            return REQ_ERR_BAD_ARGUMENT;
    setText(server.text1.text1_val, server.text1.text1_len, texts[0]);
    setText(server.text2.text2_val, server.text2.text2_len, texts[1]);
    setText(server.text3.text3_val, server.text3.text3_len, texts[2]);
    setText(server.text4.text4_val, server.text4.text4_len, texts[3]);
    return pairRequest(ctx, args);
}

int uploadFromSwitch(SessionContext* ctx, const unsigned char switchName[8], int value, int flag,
                     int* length, char* buffer, std::size_t capacity) {
    if (ctx == nullptr || !validName(switchName) || flag == 0 || length == nullptr ||
        buffer == nullptr || capacity == 0)
        return REQ_ERR_BAD_ARGUMENT;
    *length = 0;
    buffer[0] = '\0';

    MSReplyPtr reply;
    if (const int status = sendRaw(ctx, nameAndHandle(kUploadStart, switchName, value), reply);
        status != 0)
        return status;
    if (reply->status != 0)
        return handleSwitchStatus(ctx, reply->status);
    const UploadStartReply started = reply->body.MSReplyBody_u.uploadStart;
    reply.reset();
    if (started.value1 != 0)
        return started.value1;
    const int handle = started.value2;
    if (started.value3 < 0 || static_cast<std::size_t>(started.value3) > capacity - 1) {
        // The text would not fit the caller's buffer.
        abortTransfer(ctx, kUploadAbort, switchName, handle, false, 0);
        return REQ_ERR_UPLOAD_TOO_LARGE;
    }
    const std::size_t total = static_cast<std::size_t>(started.value3);

    std::size_t received = 0;
    int failures = 0;
    while (received < total) {
        MSRequestArgs ask = clilib::newRequest(kUploadData);
        UploadDataArgs& piece = ask.MSRequestArgs_u.uploadData;
        std::memcpy(piece.wwn, switchName, 8);
        piece.handle = handle;
        piece.offset = static_cast<int>(received);
        const std::size_t asked = std::min(kTransferChunk, total - received);
        piece.count = static_cast<int>(asked);

        if (const int status = sendRaw(ctx, ask, reply); status != 0)
            return status;
        const bool envelopeFailure = reply->status != 0;
        int failure = envelopeFailure ? reply->status : reply->body.MSReplyBody_u.uploadData.value1;
        const auto& data = reply->body.MSReplyBody_u.uploadData.data;
        // A chunk with no bytes, or more than were asked for, is a failure:
        // nothing is ever written beyond the buffer, and an empty answer
        // cannot make the upload loop for ever.
        if (failure == 0 && (data.data_len == 0 || data.data_len > asked))
            failure = REQ_ERR_RPC_NO_REPLY;
        if (failure != 0) {
            reply.reset();
            if (++failures >= kTransferFailureLimit)
                return abortTransfer(ctx, kUploadAbort, switchName, handle, envelopeFailure,
                                     failure);
            continue;
        }
        std::memcpy(buffer + received, data.data_val, data.data_len);
        received += data.data_len;
        reply.reset();
    }

    *length = static_cast<int>(received);
    for (std::size_t i = 0; i < received; ++i)
        if (buffer[i] == '\0')
            buffer[i] = ' ';
    buffer[received] = '\0';
    return pairRequest(ctx, nameAndHandle(kUploadEnd, switchName, handle));
}
