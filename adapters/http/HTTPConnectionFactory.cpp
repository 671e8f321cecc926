#include "adapters/http/HTTPConnectionFactory.h"

#include "adapters/http/HTTPConnection.h"
#include "adapters/http/HttpTrace.h"
#include "foundation/APIException.h"

#include <memory>
#include <new>

namespace {
constexpr char kModule[] = "HTTPConnectionFactory";
}

Fabric_Connection_Ifc*
HTTPConnectionFactory::createFabricConnection(const ConnectionDescriptor& descriptor) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnectionFactory::createFabricConnection", kModule);
    std::unique_ptr<HTTPConnection> connection;
    try {
        connection = std::make_unique<HTTPConnection>(descriptor);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // A connection that cannot read its switch's page would sit unusable in
    // the pool; it is not made.
    if (connection->getPageStatus() != 0) {
        throw ConnectionException("Unable to read the switch page", connection->getPageStatus());
    }
    return connection.release();
}

void HTTPConnectionFactory::destroyFabricConnection(Fabric_Connection_Ifc* connection) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnectionFactory::destroyFabricConnection", kModule);
    delete connection;
}

HTTPConnectionFactory* getHTTPConnectionFactory() {
    static HTTPConnectionFactory factory;
    return &factory;
}
