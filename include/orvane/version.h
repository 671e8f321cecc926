/* The library's build text. */
#ifndef ORVANE_VERSION_H
#define ORVANE_VERSION_H

#include "orvane/orvane_export.h"

ORVANE_BEGIN_DECLS

/* The build text, made once and returned unchanged afterwards: the
 * builder's word, the build date and time, "Merrowix_API" and "2.1.0b",
 * each followed by one blank. */
ORVANE_EXPORT const char* getVersion(void);

ORVANE_END_DECLS

#endif
