// Bulk transfers between the library and a switch over management requests
// (procedure 40): a data image to the switch in chunks (1832 to 1835), a
// firmware image file, the switch's own download from a server (1842) and
// its completion (1844), and the switch's configuration text from it (1836
// to 1839).
#pragma once

#include <cstddef>

#include "connection/clilib_session.h"

// Bytes of one chunk in either direction.
constexpr std::size_t kTransferChunk = 32768;
// Failed chunk requests over one transfer that end it; the last is answered
// with an abort request.
constexpr int kTransferFailureLimit = 7;
// The firmware image: a header area of 32832 bytes (the 184-byte header at
// its start, the rest zero) followed by at most 4161472 bytes of data.
constexpr std::size_t kFirmwareImageSize = 4194304;
constexpr std::size_t kFirmwareHeaderSize = 184;
constexpr std::size_t kFirmwareDataOffset = 32832;
constexpr std::size_t kFirmwareDataMax = kFirmwareImageSize - kFirmwareDataOffset;
// Polls of a switch's download completion after a firmware download.
constexpr int kFirmwareCompletionPolls = 15;

// An upload whose text does not fit the caller's buffer. The code is one
// the status table does not list, so no caller mistakes it for a switch's
// status; exports report it as an unmapped code.
constexpr int REQ_ERR_UPLOAD_TOO_LARGE = -10030;

// Sends `length` bytes of `data` of `kind` to the switch. -10021 without a
// client handle, name, data or length; -10200 when a request gets no reply.
int downloadToSwitch(SessionContext* ctx, const unsigned char switchName[8], int kind,
                     int totalLength, const unsigned char* data);
// The progress of the current or last download, 0 to 100.
int getDownloadPercent();

// Reads a firmware image file and downloads it (kind 1); with `wait`, polls
// the switch's completion. -10024 when the image buffer cannot be had,
// -60600 when the file cannot be read or holds more data than one image
// carries, -60610 when the header's checksum does not match the data,
// -60604 when the image changed during the download or the switch's
// download failed, -60601 when it was still running at the last poll.
int firmwareDownloadFromFile(SessionContext* ctx, const unsigned char switchName[8],
                             const char* path, bool wait);

// Request 1844: 0, -60604 (the switch's download failed) or -60601 (still
// running).
int downloadCompletionStatus(SessionContext* ctx, const unsigned char switchName[8]);

// Request 1842: the switch fetches an image itself; the texts are sent
// with their terminating NUL, in the caller's order (a null text is sent
// empty); a text longer than the protocol carries gives -10021.
int firmwareDownloadFromServer(SessionContext* ctx, const unsigned char switchName[8], int value,
                               const char* text1, const char* text2, const char* text3,
                               const char* text4);

// Reads the switch's configuration text (selected by `value`) into
// `buffer`, which holds `capacity` bytes: at most capacity - 1 bytes of
// text and the terminating NUL; NUL bytes of the text become blanks.
// `*length` is the number of bytes received. A text that does not fit is
// refused with -10030 (the upload is aborted) and nothing beyond the
// buffer is written. -10021 without a context, name, buffer or with a zero
// flag.
int uploadFromSwitch(SessionContext* ctx, const unsigned char switchName[8], int value, int flag,
                     int* length, char* buffer, std::size_t capacity);
