#include "yarllite/ObjectEditCommands.h"

#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/XmlEscape.h"
#include "yarllite/DomAccess.h"
#include "yarllite/ObjectEditRequests.h"
#include "yarllite/XercesText.h"

namespace {

using namespace object_edit;

constexpr char kSource[] = "yarldcmd";
constexpr int kBadRequest = FABAPI_ERR_BAD_ARGUMENT;
// What removal answers for a request without an object: a positive code.
constexpr int kNoRemovalTarget = 10;

bool hasAttribute(const xercesc::DOMElement* element, const char* name) {
    return element->hasAttribute(xercesChars(toXercesText(name)));
}

// Runs a handler's body; running out of memory on the way answers -2.
template <class Body> int guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

} // namespace

int YarlAddAttributes(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlAddAttributes", kSource);
    return guarded([&] {
        const EntryList targets = referenceList(context.root, true);
        const auto attributes = elementsNamed(context.root, "YarlAttribute");
        if (attributes.empty()) {
            return kBadRequest;
        }
        const xercesc::DOMElement* attribute = attributes.front();
        const unsigned code = attributeCodeOf(attribute, false);
        if (code == 0 || !hasAttribute(attribute, "value")) {
            return kBadRequest;
        }
        AttributeArgument value;
        if (const int status = value.read(code, fetchAttrValue(attribute, "value")); status != 0) {
            return status;
        }
        return AddAttributes(targets.data(), code, value.argument());
    });
}

namespace {

int editSetMembers(CommandContext& context, bool adding) {
    return guarded([&] {
        const std::string text = extractText(context.root, "ObjectReference");
        if (text.empty()) {
            return adding ? kBadRequest : kNoRemovalTarget;
        }
        const OidField target(text);
        const auto attributes = elementsNamed(context.root, "YarlAttribute");
        if (attributes.empty()) {
            return kBadRequest;
        }
        const unsigned code = attributeCodeOf(attributes.front(), true);
        if (code == 0) {
            return kBadRequest;
        }
        EntryList members;
        if (const int status = memberList(attributes, code, members); status != 0) {
            return status;
        }
        return adding ? AddSetMember(target.oid, code, members.data())
                      : RemoveSetMember(target.oid, code, members.data());
    });
}

} // namespace

int YarlAddSetMember(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlAddSetMember", kSource);
    return editSetMembers(context, true);
}

int YarlRemoveSetMember(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlRemoveSetMember", kSource);
    return editSetMembers(context, false);
}

int YarlCreateFabricObject(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlCreateFabricObject", kSource);
    return guarded([&] {
        const std::string parent = extractText(context.root, "ObjectReference");
        if (parent.empty()) {
            return kBadRequest;
        }
        const OidField fabric(parent);
        ObjectDefinition definition;
        if (const int status = definition.read(context.root); status != 0) {
            return status;
        }
        OID_t created{};
        const int status = CreateFabricObject(fabric.oid, definition.record(), created);
        CopyName48(context.newObject, created);
        return status;
    });
}

int YarlDeleteObjects(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlDeleteObjects", kSource);
    return guarded([&] {
        if (elementsNamed(context.root, "ObjectReference").empty()) {
            return kBadRequest;
        }
        const EntryList targets = referenceList(context.root, false);
        return DeleteObjects(targets.data());
    });
}

int YarlZoningObjectNameExists(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlZoningObjectNameExists", kSource);
    return guarded([&] {
        const OidField database(extractText(context.root, "ObjectReference"));
        const xercesc::DOMNode* specs = fetchNodeByName(context.root, "ObjectSpecs");
        const std::string name = specs != nullptr ? fetchAttrValue(specs, "ObjName") : "";
        bool exists = false;
        if (!name.empty()) {
            // The export writes the identifier with its NUL: room for 49.
            char found[sizeof(OID_t) + 1] = {};
            // Only 1 means yes. Whatever else the export answers, a failure
            // or an identifier that is no full zoning database included,
            // reads as "No": the command always succeeds.
            if (ZoningObjectNameExists(database.oid, name.c_str(), found) == 1) {
                exists = true;
                context.reply += "<ObjectReference>";
                appendEscaped(context.reply, oidFieldText(found));
                context.reply += "</ObjectReference>\n";
            }
        }
        context.reply += exists ? "<ObjectExists>Yes</ObjectExists>" : "<ObjectExists>No</ObjectExists>";
        return 0;
    });
}

