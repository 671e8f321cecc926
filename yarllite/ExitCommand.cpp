#include "yarllite/ExitCommand.h"

#include <orvane/fabapi.h>

#include "api/ObjectStore.h"
#include "yarllite/CallerBlock.h"

namespace {

void closeOpenSessions() {
    FabAPI_ClientSessionIDList* listed = nullptr;
    if (FabAPI_ListSessions(&listed) != 0) { // not initialised: no session
        return;
    }
    const CallerBlock<FabAPI_ClientSessionIDList> sessions(listed);
    for (int i = 0; sessions != nullptr && i < sessions->count; ++i) {
        // One that cannot close now (a firmware download runs) stays open.
        FabAPI_CloseSession(sessions->ids[i]);
    }
}

} // namespace

void exitCommand() {
    closeOpenSessions();
    eraseMap();
}
