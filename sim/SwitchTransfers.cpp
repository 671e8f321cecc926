#include "sim/SwitchTransfers.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

using nlohmann::json;

Wwn wwnOf(const unsigned char* bytes) {
    Wwn wwn;
    std::memcpy(wwn.data(), bytes, wwn.size());
    return wwn;
}

std::uint64_t fnv1a(const std::vector<char>& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::uint32_t byteSumOf(const char* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += static_cast<unsigned char>(data[i]);
    return sum;
}

std::string textOf(const char* data, u_int length) {
    if (data == nullptr || length == 0)
        return {};
    return std::string(data, strnlen(data, length));
}

// Failure values of the transfer requests.
constexpr int kUnknownHandle = -1;
constexpr int kWrongOffset = -2;
constexpr int kWrongChecksum = -3;
constexpr int kBeyondImage = -4;
constexpr int kIncomplete = -5;
// Download kinds of a configuration: applied online, or with a reboot.
constexpr int kConfigOnline = 2;
constexpr int kConfigReboot = 3;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (end > at)
            lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// The key of a configuration line: the text before its first ':', without
// the white space before it; empty without a ':'.
std::string keyOfLine(const std::string& line) {
    const std::size_t colon = line.find(':');
    const std::size_t start = line.find_first_not_of(" \t");
    if (colon == std::string::npos || start == std::string::npos || start >= colon)
        return {};
    return line.substr(start, colon - start);
}

// Largest image a simulated switch takes.
constexpr std::size_t kImageMax = 8u << 20;

} // namespace

SwitchTransfers& SwitchTransfers::instance() {
    static SwitchTransfers transfers;
    return transfers;
}

void SwitchTransfers::downloadStart(const std::string& proxy, const DownloadStartArgs& args,
                                    IntPair& pair) {
    std::scoped_lock lock(mutex_);
    if (args.value2 <= 0 || static_cast<std::size_t>(args.value2) > kImageMax) {
        pair = {kBeyondImage, 0};
        return;
    }
    Download download;
    download.handle = nextHandle_++;
    download.kind = args.value1;
    download.total = static_cast<std::size_t>(args.value2);
    download.image.reserve(download.total);
    pair = {0, download.handle};
    downloads_[{proxy, wwnOf(args.wwn)}] = std::move(download);
}

void SwitchTransfers::downloadData(const std::string& proxy, const DownloadDataArgs& args,
                                   IntPair& pair) {
    std::scoped_lock lock(mutex_);
    pair = {0, 0};
    auto found = downloads_.find({proxy, wwnOf(args.wwn)});
    if (found == downloads_.end() || found->second.handle != args.handle ||
        found->second.state != "running") {
        pair.first = kUnknownHandle;
        return;
    }
    Download& download = found->second;
    const std::size_t size = args.data.data_len;
    if (args.offset < 0 || static_cast<std::size_t>(args.offset) != download.image.size())
        pair.first = kWrongOffset;
    else if (download.image.size() + size > download.total)
        pair.first = kBeyondImage;
    else if (byteSumOf(args.data.data_val, size) != static_cast<std::uint32_t>(args.checksum))
        pair.first = kWrongChecksum;
    if (pair.first != 0)
        return;
    download.image.insert(download.image.end(), args.data.data_val, args.data.data_val + size);
    download.chunks.push_back(size);
}

void SwitchTransfers::downloadAbortOrEnd(const std::string& proxy, const WWNIntArgs& args, bool end,
                                         IntPair& pair) {
    std::scoped_lock lock(mutex_);
    pair = {0, 0};
    auto found = downloads_.find({proxy, wwnOf(args.wwn)});
    if (found == downloads_.end() || found->second.handle != args.value) {
        pair.first = kUnknownHandle;
        return;
    }
    Download& download = found->second;
    if (!end) {
        download.state = "aborted";
    } else if (download.image.size() != download.total) {
        pair.first = kIncomplete;
    } else {
        download.state = "ended";
        if (download.kind == kConfigOnline || download.kind == kConfigReboot)
            applyConfiguration(proxy, wwnOf(args.wwn), download);
    }
}

void SwitchTransfers::applyConfiguration(const std::string& proxy, const Wwn& sw,
                                         const Download& download) {
    const std::string text(download.image.begin(), download.image.end());
    configDownloads_[{proxy, sw}].push_back({download.kind, text});
    if (download.kind == kConfigReboot)
        rebootRequested_[{proxy, sw}] = true;
    std::vector<std::string> lines = splitLines(uploadTexts_[{proxy, sw, 0}]);
    for (const std::string& line : splitLines(text)) {
        const std::string key = keyOfLine(line);
        if (key.empty() || line.front() == '[')
            continue;
        auto same = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::string& held) { return keyOfLine(held) == key; });
        if (same != lines.end())
            *same = line.substr(line.find_first_not_of(" \t"));
        else
            lines.push_back(line.substr(line.find_first_not_of(" \t")));
    }
    std::string joined;
    for (const std::string& line : lines)
        joined += line + "\n";
    uploadTexts_[{proxy, sw, 0}] = std::move(joined);
}

unsigned int SwitchTransfers::completion(const std::string& proxy, const Wwn& sw) {
    std::scoped_lock lock(mutex_);
    Completion& completion = completions_[{proxy, sw}];
    if (completion.polls > 0) {
        --completion.polls;
        return 0xFFFE0000u;
    }
    return completion.failed ? 0xFFFF0000u : 0u;
}

void SwitchTransfers::serverDownload(const std::string& proxy, const ServerDownloadArgs& args,
                                     IntPair& pair) {
    std::scoped_lock lock(mutex_);
    serverDownloads_.push_back({proxy,
                                wwnOf(args.wwn),
                                args.value,
                                {textOf(args.text1.text1_val, args.text1.text1_len),
                                 textOf(args.text2.text2_val, args.text2.text2_len),
                                 textOf(args.text3.text3_val, args.text3.text3_len),
                                 textOf(args.text4.text4_val, args.text4.text4_len)}});
    pair = {0, 0};
}

void SwitchTransfers::uploadStart(const std::string& proxy, const WWNIntArgs& args,
                                  UploadStartReply& reply) {
    std::scoped_lock lock(mutex_);
    reply = {0, 0, 0};
    auto text = uploadTexts_.find({proxy, wwnOf(args.wwn), args.value});
    if (text == uploadTexts_.end()) {
        reply.value1 = kUnknownHandle;
        return;
    }
    const int handle = nextHandle_++;
    uploads_[handle] = {{proxy, wwnOf(args.wwn)}, text->second, true};
    reply.value2 = handle;
    reply.value3 = static_cast<int>(text->second.size());
}

std::vector<char> SwitchTransfers::uploadData(const std::string& proxy, const UploadDataArgs& args,
                                              UploadDataReply& reply) {
    std::scoped_lock lock(mutex_);
    reply = {};
    auto found = uploads_.find(args.handle);
    if (found == uploads_.end() || !found->second.open ||
        found->second.key != Key{proxy, wwnOf(args.wwn)} || args.count <= 0 || args.offset < 0 ||
        static_cast<std::size_t>(args.offset) > found->second.text.size()) {
        reply.value1 = kUnknownHandle;
        return {};
    }
    const std::string& text = found->second.text;
    const std::size_t offset = static_cast<std::size_t>(args.offset);
    const std::size_t count = std::min<std::size_t>(
        {static_cast<std::size_t>(args.count), text.size() - offset, RM_UPLOAD_CHUNK_MAX});
    reply.value2 = static_cast<int>(count);
    return std::vector<char>(text.begin() + static_cast<std::ptrdiff_t>(offset),
                             text.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

void SwitchTransfers::uploadAbortOrEnd(const std::string& proxy, const WWNIntArgs& args,
                                       IntPair& pair) {
    std::scoped_lock lock(mutex_);
    pair = {0, 0};
    auto found = uploads_.find(args.value);
    if (found == uploads_.end() || found->second.key != Key{proxy, wwnOf(args.wwn)}) {
        pair.first = kUnknownHandle;
        return;
    }
    uploads_.erase(found);
}

bool SwitchTransfers::answer(const std::string& op, const json& request, json& reply) {
    if (op == "transfers") {
        std::scoped_lock lock(mutex_);
        json downloads = json::array();
        for (const auto& [key, download] : downloads_) {
            downloads.push_back({{"address", std::get<0>(key)},
                                 {"switch", formatWwn(std::get<1>(key))},
                                 {"kind", download.kind},
                                 {"total", download.total},
                                 {"received", download.image.size()},
                                 {"state", download.state},
                                 {"chunks", download.chunks},
                                 {"sum", byteSumOf(download.image.data(), download.image.size())},
                                 {"fnv1a", fnv1a(download.image)}});
        }
        json servers = json::array();
        for (const auto& server : serverDownloads_) {
            servers.push_back({{"address", server.proxy},
                               {"switch", formatWwn(server.sw)},
                               {"value", server.value},
                               {"texts", server.texts}});
        }
        reply["downloads"] = downloads;
        reply["serverDownloads"] = servers;
        return true;
    }
    if (op == "setUpload") {
        std::string text;
        if (request.contains("text")) {
            text = request["text"].get<std::string>();
        } else if (request.contains("hex")) {
            const std::string hex = request["hex"].get<std::string>();
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
                text.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        } else {
            const std::size_t size = request.at("size").get<std::size_t>();
            for (std::size_t i = 0; i < size; ++i)
                text.push_back(static_cast<char>('a' + i % 26));
        }
        std::scoped_lock lock(mutex_);
        uploadTexts_[{request.at("address").get<std::string>(),
                      parseWwn(request.at("switch").get<std::string>()),
                      request.value("value", 0)}] = std::move(text);
        return true;
    }
    if (op == "configuration") {
        const Key key{request.at("address").get<std::string>(),
                      parseWwn(request.at("switch").get<std::string>())};
        std::scoped_lock lock(mutex_);
        const auto textOf = [&](int selector) {
            auto found = uploadTexts_.find({std::get<0>(key), std::get<1>(key), selector});
            return found == uploadTexts_.end() ? std::string() : found->second;
        };
        json downloads = json::array();
        for (const auto& download : configDownloads_[key])
            downloads.push_back({{"operation", download.operation}, {"text", download.text}});
        reply["text"] = textOf(0);
        reply["prefixes"] = textOf(4);
        reply["reboot"] = rebootRequested_[key];
        reply["downloads"] = downloads;
        return true;
    }
    if (op == "setCompletion") {
        std::scoped_lock lock(mutex_);
        completions_[{request.at("address").get<std::string>(),
                      parseWwn(request.at("switch").get<std::string>())}] = {
            request.value("polls", 0), request.value("result", "done") == "failed"};
        return true;
    }
    return false;
}
