// Firmware downloads to and configuration uploads from the simulated
// switches (management requests 1832 to 1839, 1842, 1844), kept per proxy
// address and switch so that tests can read back what arrived.
//
// A download keeps its image: chunks must come in order, each at the
// offset already received, with the byte sum of its data; the image is
// complete when the end request finds every byte. An upload hands out the
// text set for (switch, selector) by a control request; a switch without
// one refuses the upload start. The completion poll (1844) answers
// "running" for the number of polls set, then "done" or "failed".
//
// Control requests (see ControlChannel.h):
//   {"op":"transfers"} -> {"ok":true,"downloads":[{"address","switch","kind","total",
//        "received","state","chunks":[sizes],"sum","fnv1a"}...],
//        "serverDownloads":[{"address","switch","value","texts":[4 texts]}...]}
//   {"op":"setUpload","address":A,"switch":W,"value":V, "text":T | "hex":H | "size":N}
//        (size: N bytes of a repeating letter pattern)
//   {"op":"setCompletion","address":A,"switch":W,"polls":N,"result":"done"|"failed"}
//   {"op":"configuration","address":A,"switch":W} -> {"ok":true,"text":T,"prefixes":P,
//        "reboot":bool,"downloads":[{"operation":N,"text":T}...]}
//
// Configuration: the upload texts of selector 0 (the configuration) and 4
// (the prefix list) are the switch's own. A download of kind 2 (online) or
// 3 (with a reboot) is applied when it ends, line by line: a "key:value"
// line replaces the switch's line of the same key or is appended; section
// lines and lines without a key are ignored. Kind 3 sets the reboot flag.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "remote_api.h"
#include "sim/FabricModel.h"

class SwitchTransfers {
public:
    static SwitchTransfers& instance();

    // Each answers one request into the reply's arm (or its status).
    void downloadStart(const std::string& proxy, const DownloadStartArgs& args, IntPair& pair);
    void downloadData(const std::string& proxy, const DownloadDataArgs& args, IntPair& pair);
    void downloadAbortOrEnd(const std::string& proxy, const WWNIntArgs& args, bool end,
                            IntPair& pair);
    unsigned int completion(const std::string& proxy, const Wwn& sw);
    void serverDownload(const std::string& proxy, const ServerDownloadArgs& args, IntPair& pair);
    void uploadStart(const std::string& proxy, const WWNIntArgs& args, UploadStartReply& reply);
    // The bytes of one upload chunk (empty with value1 set on failure).
    std::vector<char> uploadData(const std::string& proxy, const UploadDataArgs& args,
                                 UploadDataReply& reply);
    void uploadAbortOrEnd(const std::string& proxy, const WWNIntArgs& args, IntPair& pair);

    bool answer(const std::string& op, const nlohmann::json& request, nlohmann::json& reply);

private:
    using Key = std::tuple<std::string, Wwn>;
    struct Download {
        int handle = 0;
        int kind = 0;
        std::size_t total = 0;
        std::vector<char> image;
        std::vector<std::size_t> chunks;
        std::string state = "running";
    };
    struct Completion {
        int polls = 0;
        bool failed = false;
    };
    struct Upload {
        Key key;
        std::string text;
        bool open = true;
    };
    struct ServerDownload {
        std::string proxy;
        Wwn sw{};
        int value = 0;
        std::vector<std::string> texts;
    };

    std::mutex mutex_;
    int nextHandle_ = 100;
    std::map<Key, Download> downloads_;
    std::map<Key, Completion> completions_;
    std::map<std::tuple<std::string, Wwn, int>, std::string> uploadTexts_;
    std::map<int, Upload> uploads_;
    std::vector<ServerDownload> serverDownloads_;
    struct ConfigDownload {
        int operation = 0;
        std::string text;
    };
    std::map<Key, std::vector<ConfigDownload>> configDownloads_;
    std::map<Key, bool> rebootRequested_;

    void applyConfiguration(const std::string& proxy, const Wwn& sw, const Download& download);
};
