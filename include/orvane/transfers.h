/* Switch configuration transfer, switch certificates and firmware download.
 *
 * A switch is named by its identifier (OID_t, type 2), which the object
 * store holds while a session on its fabric is open. Every text handed out
 * is a caller block: free it with falFreeObject. */
#ifndef ORVANE_TRANSFERS_H
#define ORVANE_TRANSFERS_H

#include <stdbool.h>

#include "orvane/oid.h"
#include "orvane/orvane_export.h"

ORVANE_BEGIN_DECLS

/* Configuration: lines of "key:value" under "[section]" lines.
 *
 * ConfigurationUpload stores the switch's whole configuration text through
 * `configText`. ConfigurationDownload writes the lines of `configText` that
 * differ from the switch's text (section lines are not sent); the text
 * holds at least one line break. It returns 0 (also when nothing differs),
 * 100 (FABAPI_CONFIG_SENT_FOR_REBOOT) when the lines were sent to be
 * applied with a reboot because the switch's prefix list does not name
 * some key and `allowReboot` is 1, 101 (FABAPI_CONFIG_NEEDS_REBOOT) when
 * they were not sent for that reason (`allowReboot` 0); -50 when a key may
 * not be written (a security policy key, or a prefix the switch does not
 * support); -3 also for a text of one line without its line break. A
 * download that fails once it has started is dropped on the switch, so
 * that the next one can start. ConfigurationPrefix lists, one per line, the key prefixes
 * that the switch writes online (section 1) or does not support (section
 * 2, followed by the security policy keys); -36 when the switch's list
 * lacks the section.
 * All three: -3 for an empty identifier, a null pointer, an `allowReboot`
 * other than 0 or 1 or a section other than 1 or 2; -21 when the
 * identifier is not stored, -6 when it is not a switch, -12 when its
 * fabric has no session; -98 before start-up, -216 during shutdown; -2
 * when memory runs out; a translated transfer failure: -56 the switch did
 * not answer, -25 it refused the transfer, -86 it stayed busy, -14 it was
 * not ready. */
ORVANE_EXPORT int ConfigurationUpload(const OID_t switchOid, char** configText);
ORVANE_EXPORT int ConfigurationDownload(const OID_t switchOid, char allowReboot,
                                        const char* configText);
ORVANE_EXPORT int ConfigurationPrefix(const OID_t switchOid, unsigned short section,
                                      char** prefixes);

/* Switch certificates. The switch generates its certificate signing
 * request; the library carries the texts and never reads them.
 *
 * CreateCertificateSigningRequest finds the switch and its fabric's session
 * and sends nothing: 0. GetCertificateSigningRequest stores through
 * `signingRequest` a block of n + 10 bytes: the n bytes of the text the
 * switch sent, then NUL bytes; on a failure the pointer is left as it was,
 * except that it is set to null when the block cannot be made (-2).
 * InstallCertificate sends the bytes of `certificate` before its NUL as
 * they stand: 0 when the switch accepted it.
 * All three: -3 for a null argument, -13 when the identifier names no
 * stored switch (or one without a world wide name), -6 or -12 when its
 * fabric or session cannot be found, -98 before start-up, -216 during
 * shutdown; the request layer's and the switch's codes pass unchanged. */
ORVANE_EXPORT int CreateCertificateSigningRequest(const char* switchOid);
ORVANE_EXPORT int GetCertificateSigningRequest(const char* switchOid, char** signingRequest);
ORVANE_EXPORT int InstallCertificate(const char* switchOid, const char* certificate);

/* Firmware download. `switchList` holds 48-byte switch identifiers ended by
 * an empty entry; `result` receives a caller block of lines
 * "<identifier>:<status>;".
 *
 * FirmwareDownloadDirect sends the image file `firmwarePath` of this host
 * to each switch in turn; FirmwareDownloadSelf asks each switch to fetch the
 * image `firmwarePath` from the file server `hostName` with `hostLogin` and
 * `hostPassword`. With `wait` the work is done before the call returns, one
 * line per switch (0, -3 not stored, -6 not a switch, -43 the download
 * failed), and the call returns the first failure or 0; a self download
 * stops at an entry of -3 or -6. Without `wait` the call returns 0 at once
 * and download threads do the work, reporting progress (event 8) and
 * failures (event 10) as library events; while they run, closing sessions
 * and shutting down are refused with -43. -3 for a null argument or an
 * empty list (or an empty path of a self download), -1 when a download
 * thread cannot be started, -98 before start-up, -216 during shutdown. */
ORVANE_EXPORT int FirmwareDownloadDirect(const char* switchList, const char* firmwarePath,
                                         bool wait, char** result);
ORVANE_EXPORT int FirmwareDownloadSelf(const char* switchList, const char* firmwarePath, bool wait,
                                       const char* hostName, const char* hostLogin,
                                       const char* hostPassword, char** result);

ORVANE_END_DECLS

#endif
