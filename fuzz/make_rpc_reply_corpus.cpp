// Writes the seed corpus of the reply fuzzer: valid replies of every record
// type and of the main union arms, each file the type index byte followed
// by the XDR encoding. Usage: make_rpc_reply_corpus <directory>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/rpc_reply_records.h"

namespace {

std::filesystem::path outputDir;
int fileCounter = 0;

template <class Record> void emit(size_t typeIndex, const char* label, Record& record) {
    const ReplyRecordType& type = replyRecordTypes().at(typeIndex);
    std::vector<char> buffer(1 << 20);
    XDR out;
    xdrmem_create(&out, buffer.data(), static_cast<u_int>(buffer.size()), XDR_ENCODE);
    if (!type.filter(&out, &record, 0)) {
        std::fprintf(stderr, "cannot encode %s\n", label);
        std::exit(1);
    }
    const u_int length = xdr_getpos(&out);
    xdr_destroy(&out);
    char name[128];
    std::snprintf(name, sizeof(name), "%02d-%s-%s", fileCounter++, type.name, label);
    std::ofstream file(outputDir / name, std::ios::binary);
    const char typeByte = static_cast<char>(typeIndex);
    file.write(&typeByte, 1);
    file.write(buffer.data(), length);
}

void fillText(char* field, size_t size, const char* text) {
    std::memset(field, 0, size);
    std::strncpy(field, text, size - 1);
}

char message[] = "";
char errorMessage[] = "Zone not found";

void emitEnvelopes() {
    AuthReply auth{};
    auth.accessLevel = 3;
    const char wwn[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, static_cast<char>(0xff)};
    std::memcpy(auth.wwn, wwn, sizeof(wwn));
    auth.number = 42;
    emit(0, "login", auth);

    WWNBytes name = {0x10, 0x00, 0x00, 0x60, 0x69, 0x80, 0x7f, 0xff};
    emit(1, "name", name);

    FirmwareVersionReply version{};
    fillText(version.versionText, sizeof(version.versionText), "v4.1.2");
    emit(2, "version", version);

    ZoningStatusReply ok{0, message};
    emit(3, "ok", ok);
    ZoningStatusReply failed{-5, errorMessage};
    emit(3, "error", failed);

    char zone1[] = "zone_a";
    char zone2[] = "zone_b";
    NameText names[] = {zone1, zone2};
    ZoningNamesReply namesReply{};
    namesReply.message = message;
    namesReply.names.names_len = 2;
    namesReply.names.names_val = names;
    emit(4, "names", namesReply);

    ZoningTypeReply typeReply{2, 0, message};
    emit(5, "type", typeReply);

    char text[] = "cfg:cfg1;zone_a;zone:zone_a;10:00:00:00:c9:12:34:56";
    ZoningTextReply textReply{text, 0, message};
    emit(6, "text", textReply);

    char empty[] = "";
    ZoningValidateReply validate{text, empty, empty, 1, 0, message};
    emit(7, "validate", validate);
}

void emitManagementReplies() {
    MSReply reply{};
    reply.message = message;
    auto body = [&](int command) -> MSReplyBody& {
        std::memset(&reply.body, 0, sizeof(reply.body));
        reply.body.command = command;
        return reply.body;
    };

    ElementEntry elements[2] = {{{0x10, 0, 0, 0x60, 0x69, 1, 2, 3}, 1},
                                {{0x20, 0, 0, 0x60, 0x69, 1, 2, 3}, 2}};
    body(257).MSReplyBody_u.elements = {2, elements};
    emit(8, "elements", reply);

    body(273).MSReplyBody_u.number = 7;
    emit(8, "number", reply);

    fillText(body(277).MSReplyBody_u.logicalName, 256, "switch-one");
    emit(8, "logical-name", reply);

    ManagementAddress addresses[1];
    fillText(addresses[0], sizeof(addresses[0]), "http://127.0.0.1/");
    body(278).MSReplyBody_u.managementAddresses = {1, {1, addresses}};
    emit(8, "addresses", reply);

    char info[] = {1, 2, 3};
    MSReplyBody& infoBody = body(279);
    infoBody.MSReplyBody_u.elementInfo.value = 1;
    infoBody.MSReplyBody_u.elementInfo.data = {3, info};
    emit(8, "element-info", reply);

    PlatformName members[1] = {{1, "member"}};
    WWNBytes platformWwns[1] = {{0x10, 0, 0, 0x60, 0x69, 1, 2, 3}};
    PlatformAttributes platform{};
    platform.platform.length = 1;
    fillText(platform.platform.name, sizeof(platform.platform.name), "host");
    platform.members = {1, members};
    platform.wwns = {1, platformWwns};
    body(404).MSReplyBody_u.platform = platform;
    emit(8, "platform", reply);
    MSReplyBody& platforms = body(1556);
    platforms.MSReplyBody_u.platforms.count = 1;
    platforms.MSReplyBody_u.platforms.platforms = {1, &platform};
    emit(8, "platforms", reply);

    IntPair routes[2] = {{1, 2}, {3, 4}};
    body(1029).MSReplyBody_u.routes = {1, {2, routes}};
    emit(8, "routes", reply);

    SwitchInfoRecord& info1 = body(1285).MSReplyBody_u.switchInfo;
    std::memcpy(info1.switchName, elements[0].name, 8);
    info1.n1 = 1;
    fillText(info1.t1, sizeof(info1.t1), "v4.1.2");
    fillText(info1.a3, sizeof(info1.a3), "sw-one");
    emit(8, "switch-info", reply);

    Name64 keys[1] = {"key-one"};
    int products[2] = {3, 5};
    SwitchInfo2Record& info2 = body(1287).MSReplyBody_u.switchInfo2;
    std::memcpy(info2.switchName, elements[0].name, 8);
    info2.licenseKeys = {1, keys};
    info2.licensedProducts = {2, products};
    emit(8, "switch-info2", reply);

    PortStatsRecord& stats = body(1543).MSReplyBody_u.portStats;
    stats.counters[0] = {1, 0xffffffffu};
    emit(8, "port-stats", reply);

    DeviceMapPort mapPorts[1] = {{1, 2, "a", "b", "c", "d"}};
    DeviceMapRecord& map = body(1549).MSReplyBody_u.deviceMap;
    map.wwns = {1, platformWwns};
    map.ports = {1, mapPorts};
    map.numbers = {2, products};
    emit(8, "device-map", reply);

    PortModuleEntry modules[1]{};
    modules[0].ports = {2, products};
    body(1551).MSReplyBody_u.portModules.modules = {1, modules};
    emit(8, "port-modules", reply);

    FRURecord frus[1]{};
    fillText(frus[0].partNumber, sizeof(frus[0].partNumber), "60-0001");
    EnclosureSlot slots[1] = {{1, 2, frus[0]}};
    EnclosureRecord& enclosure = body(1559).MSReplyBody_u.enclosure;
    enclosure.wwns = {1, platformWwns};
    enclosure.slots = {1, slots};
    enclosure.frus = {1, frus};
    emit(8, "enclosure", reply);

    ProductRecord& product = body(1830).MSReplyBody_u.product;
    fillText(product.text, sizeof(product.text), "Fabric Watch");
    product.names = {1, keys};
    emit(8, "product", reply);

    body(1831).MSReplyBody_u.numbers = {2, products};
    emit(8, "numbers", reply);

    char chunk[] = "config text";
    UploadDataReply& upload = body(1837).MSReplyBody_u.uploadData;
    upload.value4 = static_cast<int>(std::strlen(chunk));
    upload.data = {static_cast<u_int>(std::strlen(chunk)), chunk};
    emit(8, "upload-data", reply);

    SGroupRecord& group = body(2049).MSReplyBody_u.sgroup;
    fillText(group.groupName, sizeof(group.groupName), "group");
    group.value1 = 1;
    emit(8, "sgroup", reply);

    char csr[] = "-----BEGIN CERTIFICATE REQUEST-----";
    body(2064).MSReplyBody_u.certificate.text = {static_cast<u_int>(std::strlen(csr)), csr};
    emit(8, "certificate", reply);

    body(9999);
    reply.status = -3;
    reply.message = errorMessage;
    emit(8, "default", reply);
}

void emitNameServerReplies() {
    NSReply reply{};
    reply.message = message;
    auto body = [&](int code) -> NSReplyBody& {
        std::memset(&reply.body, 0, sizeof(reply.body));
        reply.body.queryCode = code;
        return reply.body;
    };
    NSEntry& entry = body(256).NSReplyBody_u.entry;
    entry.portType = 1;
    entry.portId[0] = 0x01;
    entry.portName[0] = 0x20;
    fillText(entry.symbolicPortName, sizeof(entry.symbolicPortName), "port");
    entry.symbolicPortNameLength = 4;
    emit(9, "entry", reply);

    NSPortAddress addresses[2] = {{0, 1, 2, 3}, {0, 1, 3, 4}};
    body(257).NSReplyBody_u.addresses = {2, addresses};
    emit(9, "addresses", reply);

    NSPortIdEntry ids[1] = {{0x80, {1, 2, 3}}};
    body(305).NSReplyBody_u.portIds = {1, ids};
    emit(9, "port-ids", reply);

    NSPortNameEntry names[1] = {{0x80, {1, 2, 3}, 0, {0x20, 0, 0, 1, 2, 3, 4, 5}}};
    body(370).NSReplyBody_u.portNames = {1, names};
    emit(9, "port-names", reply);

    NSPortListEntry ports[1] = {{1, {1, 2, 3}, {0x20}, {0x10}, {0}}};
    body(768).NSReplyBody_u.ports = {1, ports};
    emit(9, "port-list", reply);

    body(999);
    emit(9, "default", reply);
}

void emitPolicyReplies() {
    MPSReply reply{};
    reply.message = message;
    auto body = [&](int type) -> MPSReplyBody& {
        std::memset(&reply.body, 0, sizeof(reply.body));
        reply.body.requestType = type;
        return reply.body;
    };
    char certificate[] = "-----BEGIN CERTIFICATE-----";
    MPSCertificateReply& cert = body(293).MPSReplyBody_u.certificate;
    cert.certificate = {static_cast<u_int>(std::strlen(certificate)), certificate};
    cert.counter = 17;
    emit(10, "certificate", reply);

    body(1).MPSReplyBody_u.auth.accessLevel = 2;
    emit(10, "auth", reply);

    body(2).MPSReplyBody_u.number = 1;
    emit(10, "number", reply);

    fillText(body(263).MPSReplyBody_u.text, 128, "policy");
    emit(10, "text", reply);

    char policyName[] = "SCC_POLICY";
    char members[] = "10:00:00:60:69:12:34:56";
    MPSPolicyArgs& policy = body(277).MPSReplyBody_u.policy;
    policy.policyName = {static_cast<u_int>(std::strlen(policyName)), policyName};
    policy.memberText = {static_cast<u_int>(std::strlen(members)), members};
    emit(10, "policy", reply);

    body(278).MPSReplyBody_u.pair = {1, 2};
    emit(10, "pair", reply);

    body(500);
    emit(10, "default", reply);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    outputDir = argv[1];
    std::filesystem::create_directories(outputDir);
    emitEnvelopes();
    emitManagementReplies();
    emitNameServerReplies();
    emitPolicyReplies();
    std::printf("wrote %d files\n", fileCounter);
    return 0;
}
