/* A caller written in C: it readies the XML interface, sends commands with
 * the C form of processCommand and frees each reply block with
 * falFreeObject. Exits 0 when every reply is as expected. */
#include <stdio.h>
#include <string.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/xmlcommand.h"

static int failures = 0;

static void check(int condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "xml_c_client: %s\n", what);
        ++failures;
    }
}

/* Sends one command; checks its result and that the reply holds `expected`
 * (an empty text: that the reply is empty), then frees the reply. */
static void send(const char* request, bool expectedResult, const char* expected) {
    void* reply = NULL;
    const bool result = processCommand(request, &reply);
    check(result == expectedResult, request);
    check(reply != NULL, "a reply block after every command");
    if (reply == NULL) {
        return;
    }
    const char* text = (const char*)reply;
    if (expected[0] == '\0') {
        check(text[0] == '\0', "an empty reply");
    } else {
        check(strstr(text, expected) != NULL, expected);
    }
    check(falFreeObject(reply) == 0, "the reply block goes back with falFreeObject");
}

int main(void) {
    check(initializeCommand(), "initializeCommand");
    send("<?xml version='1.0'?>\n<YarlRequest>\n<MsgType>InitializeFabricAccess</MsgType>\n"
         "<IPAddress value=\"127.0.0.1\" />\n</YarlRequest>\n",
         true, "<EchoMsgType>InitializeFabricAccess</EchoMsgType>\n</YarlResponse>\n");
    send("<?xml version='1.0'?><YarlRequest><MsgType>NoSuchCommand</MsgType></YarlRequest>", true,
         "<EchoMsgType>Incorrect XML Command</EchoMsgType>");
    send("<YarlRequest/>", false, "<YarlErrorCode>-3</YarlErrorCode>");
    send("<?xml version='1.0'?><YarlRequest><MsgType>Exit</MsgType></YarlRequest>", false, "");

    void* reply = NULL;
    check(!processCommand(NULL, &reply), "a null request is an empty one");
    check(reply != NULL && falFreeObject(reply) == 0, "its reply is a block as well");
    check(!processCommand("<?xml version='1.0'?><R/>", NULL), "no reply pointer: false");

    FabAPI_ShutdownFabricAPI();
    if (failures == 0) {
        printf("xml_c_client: all replies as expected\n");
    }
    return failures == 0 ? 0 : 1;
}
