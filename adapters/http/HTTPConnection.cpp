#include "adapters/http/HTTPConnection.h"

#include "adapters/http/HttpTrace.h"
#include "adapters/http/ProxyInfoPage.h"
#include "foundation/APIException.h"

namespace {
constexpr char kModule[] = "HTTPConnection";
}

HTTPConnection::HTTPConnection(const ConnectionDescriptor& descriptor) : descriptor_(descriptor) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnection::initialize", kModule);
    const std::string host = descriptor_.getProxyEntry().getHost().c_str();
    httpTrace(HTTP_LOGGER, "Remote IP = ", "HTTPConnection::initialize", host, kModule);
    setHost(host);
    pageStatus_ = getProxyInfo();
}

HTTPConnection::~HTTPConnection() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::~HTTPConnection", std::string(), kModule);
}

int HTTPConnection::getProxyInfo() {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnection::getProxyInfo", kModule);
    const std::list<std::string>* lines = nullptr;
    const int result = GetDataPage("switch.html", lines);
    if (result != 0) {
        return result;
    }
    ProxyInfo info = readProxyInfo(*lines);
    if (info.wwn) {
        wwn_ = std::make_unique<WWNAddress>(*info.wwn);
        status_ = 0;
    }
    if (info.version) {
        version_ = std::make_unique<FirmwareVersion>(*info.version);
    }
    return 0;
}

int HTTPConnection::hashCode() const {
    return ConnectionID(this).hashCode();
}

WWNAddress HTTPConnection::getFabricWWNAddress() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getFabricWWNAddress", std::string(),
              kModule);
    throw ConnectionException("Unsupported operation.", API_EXCEPTION_DEFAULT_CODE);
}

FirmwareVersion HTTPConnection::getProxyVersion() {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnection::getProxyVersion", kModule);
    if (!version_) {
        throw ConnectionException("Unavailable.", API_EXCEPTION_DEFAULT_CODE);
    }
    return *version_;
}

WWNAddress HTTPConnection::getProxyWWNAddress() {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnection::getProxyWWNAddress", kModule);
    if (!wwn_) {
        throw ConnectionException("Unavailable.", API_EXCEPTION_DEFAULT_CODE);
    }
    return *wwn_;
}

IPAddress HTTPConnection::getProxyIPAddress() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getProxyIPAddress", std::string(),
              kModule);
    return descriptor_.getProxyEntry().getHost();
}

ProtocolKey HTTPConnection::getProtocolDescriptor() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getProtocolDescriptor", std::string(),
              kModule);
    return descriptor_.getProtocolKey();
}

std::string HTTPConnection::getLoginUser() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getLoginUser", std::string(), kModule);
    return descriptor_.getProxyEntry().getUser();
}

std::string HTTPConnection::getLoginPassword() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getLoginPassword", std::string(), kModule);
    return descriptor_.getProxyEntry().getPassword();
}

ConnectionDescriptor HTTPConnection::getConnectionDescriptor() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getConnectionDescriptor", std::string(),
              kModule);
    return descriptor_;
}

void* HTTPConnection::getHandle() {
    httpTrace(HTTP_LOGGER, "Entering ", "HTTPConnection::getHandle", std::string(), kModule);
    return this;
}

ConnectionStatus HTTPConnection::checkStatus() {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPConnection::checkStatus", kModule);
    return {status_, status_ == 0 ? "HTTP Connection Ready" : "HTTP Connection Failed"};
}
