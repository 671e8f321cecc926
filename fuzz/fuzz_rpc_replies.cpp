// Decodes arbitrary bytes as a reply record of the management protocol.
// The first byte picks the record type; the rest is the XDR stream. Every
// decode, successful or not, is released with xdr_free; a record that
// decodes must encode again into no more bytes than it consumed.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/rpc_reply_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto& types = replyRecordTypes();
    const ReplyRecordType& type = types[data[0] % types.size()];
    const u_int streamSize = static_cast<u_int>(size - 1);

    void* record = std::calloc(1, type.size);
    if (record == nullptr) {
        return 0;
    }
    XDR in;
    xdrmem_create(&in, reinterpret_cast<char*>(const_cast<uint8_t*>(data + 1)), streamSize,
                  XDR_DECODE);
    const bool decoded = type.filter(&in, record, 0) != 0;
    if (decoded) {
        const u_int consumed = xdr_getpos(&in);
        std::vector<char> encoded(consumed + 4);
        XDR out;
        xdrmem_create(&out, encoded.data(), consumed, XDR_ENCODE);
        if (!type.filter(&out, record, 0)) {
            std::abort();
        }
        xdr_destroy(&out);
    }
    xdr_destroy(&in);
    xdr_free(type.filter, static_cast<char*>(record));
    std::free(record);
    return 0;
}
