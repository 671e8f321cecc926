// GetAllObjects through processCommand on one session of a generated
// fabric of 239 switches behind switchsim, against the time the XML parser
// takes to read that same reply, both measured in the same run.
//
// Each iteration times, one after the other: the command; the query
// export alone (the records the command asks for, fetched from the
// simulator and freed); the parse of the command's reply into a DOM
// document; and "GetAllObjectsResponse", the listing of the store without
// the switches. The XML layer is the command's time over the export's.
// Counters, medians in milliseconds: command_ms, export_ms, xml_layer_ms,
// listing_ms, parse_ms, and xml_over_parse = xml_layer_ms / parse_ms
// (target: at most 2).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/xmlcommand.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSwitches = 239;

std::string request(const std::string& command, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + body + "</YarlRequest>\n";
}

// The simulator of the generated fabric with a session opened through XML
// commands, as a management client opens it.
class GeneratedFabric {
public:
    GeneratedFabric() : sim_(SwitchSimulator::generatedFabrics(1, kSwitches)) {
        if (!initializeCommand()) {
            throw std::runtime_error("the XML parser did not start");
        }
        std::string reply;
        if (!processCommand(
                request("InitializeFabricAccess", "<IPAddress value=\"" + sim_.address(0) + "\"/>"),
                reply)) {
            throw std::runtime_error("InitializeFabricAccess: " + reply);
        }
        reply.clear();
        if (!processCommand(request("GetFabricIdentities"), reply)) {
            throw std::runtime_error("GetFabricIdentities: " + reply);
        }
        const std::string marker = "<FabricReference OID=\"";
        const std::size_t at = reply.find(marker);
        if (at == std::string::npos) {
            throw std::runtime_error("no fabric: " + reply);
        }
        const std::string fabric = reply.substr(at + marker.size(), 20);
        reply.clear();
        if (!processCommand(
                request("EstablishFabricSession", "<ObjectReference>" + fabric +
                                                      "</ObjectReference><Login name=\"admin\" "
                                                      "password=\"password\"/>"),
                reply)) {
            throw std::runtime_error("EstablishFabricSession: " + reply);
        }
    }
    ~GeneratedFabric() {
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
    }

    // GetAllObjects through the XML interface; its reply.
    std::string command() {
        std::string reply;
        processCommand(request("GetAllObjects"), reply);
        if (reply.find("</Objects>") == std::string::npos) {
            throw std::runtime_error("GetAllObjects: " + reply.substr(0, 2000));
        }
        return reply;
    }
    std::string listing() {
        std::string reply;
        processCommand(request("GetAllObjectsResponse"), reply);
        return reply;
    }
    // The query export alone; the number of records.
    std::size_t exportAlone() {
        void** records = nullptr;
        const int status = GetAllObjects(&records);
        if ((status != 0 && status != -221) || records == nullptr) {
            throw std::runtime_error("GetAllObjects export: " + std::to_string(status));
        }
        std::size_t count = 0;
        for (; records[count] != nullptr; ++count) {
            falFreeObject(records[count]);
        }
        falFreeObject(records);
        return count;
    }

private:
    SwitchSimulator sim_;
};

// Builds the DOM document of `text`; the number of elements below its root.
std::size_t parse(xercesc::XercesDOMParser& parser, const std::string& text) {
    xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()), text.size(),
                                      "reply");
    parser.parse(source);
    if (parser.getErrorCount() != 0 || parser.getDocument() == nullptr) {
        throw std::runtime_error("the reply does not parse");
    }
    return parser.getDocument()->getDocumentElement()->getChildElementCount();
}

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double medianMs(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2] * 1e3;
}

void BM_XmlGetAllObjects(benchmark::State& state) {
    // Left to the end of the process: its simulator ends when its standard
    // input closes, and no session outlives the library's locks.
    static GeneratedFabric* fabric = new GeneratedFabric();
    xercesc::XercesDOMParser parser;
    parser.setDoNamespaces(false);
    parser.setLoadExternalDTD(false);
    std::string reply = fabric->command();
    std::size_t records = fabric->exportAlone();
    std::vector<double> command, exported, listing, parsing;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        reply = fabric->command();
        const auto t1 = Clock::now();
        records = fabric->exportAlone();
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(parse(parser, reply));
        const auto t3 = Clock::now();
        benchmark::DoNotOptimize(fabric->listing());
        const auto t4 = Clock::now();
        command.push_back(seconds(t0, t1));
        exported.push_back(seconds(t1, t2));
        parsing.push_back(seconds(t2, t3));
        listing.push_back(seconds(t3, t4));
        state.SetIterationTime(seconds(t0, t1));
    }
    const double commandMs = medianMs(command);
    const double exportMs = medianMs(exported);
    const double parseMs = medianMs(parsing);
    const double xmlMs = std::max(0.0, commandMs - exportMs);
    state.counters["records"] = static_cast<double>(records);
    state.counters["reply_kB"] = static_cast<double>(reply.size()) / 1024.0;
    state.counters["command_ms"] = commandMs;
    state.counters["export_ms"] = exportMs;
    state.counters["xml_layer_ms"] = xmlMs;
    state.counters["listing_ms"] = medianMs(listing);
    state.counters["parse_ms"] = parseMs;
    state.counters["xml_over_parse"] = parseMs > 0 ? xmlMs / parseMs : 0;
}

BENCHMARK(BM_XmlGetAllObjects)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
