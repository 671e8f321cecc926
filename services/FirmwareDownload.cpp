#include "services/FirmwareDownload.h"

std::atomic<int> firmwareDownloadInProgress{0};
