#include "yarllite/SecretMask.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace {

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == ':' || c == '-' || c == '.' || u >= 0x80;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool namesPassword(std::string_view name) {
    constexpr std::string_view word = "password";
    const auto match =
        std::search(name.begin(), name.end(), word.begin(), word.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        });
    return match != name.end();
}

} // namespace

SecretMask::SecretMask(std::string_view request) : request_(request) {
    std::size_t at = 0;
    while ((at = request_.find('<', at)) != std::string_view::npos) {
        if (request_.substr(at, 9) == "<!ENTITY ") {
            at = scanDeclaration(at);
        } else if (at + 1 < request_.size() && isNameChar(request_[at + 1])) {
            at = scanTag(at);
        } else {
            ++at;
        }
    }
}

// An element's start tag at `open`: password attributes, and the content of
// a password element up to its end tag. Returns where scanning goes on.
std::size_t SecretMask::scanTag(std::size_t open) {
    const std::size_t size = request_.size();
    std::size_t at = open + 1;
    while (at < size && isNameChar(request_[at])) {
        ++at;
    }
    const std::string_view tagName = request_.substr(open + 1, at - open - 1);
    while (at < size) {
        while (at < size && isBlank(request_[at])) {
            ++at;
        }
        if (at >= size || request_[at] == '<') {
            return at;
        }
        if (request_[at] == '>' || request_.substr(at, 2) == "/>") {
            const bool selfClosing = request_[at] == '/';
            at += selfClosing ? 2 : 1;
            if (selfClosing || !namesPassword(tagName)) {
                return at;
            }
            const std::string endTag = "</" + std::string(tagName);
            const std::size_t end = std::min(request_.find(endTag, at), size);
            addSecret(at, end);
            return end;
        }
        const std::size_t nameBegin = at;
        while (at < size && isNameChar(request_[at])) {
            ++at;
        }
        if (at == nameBegin) {
            ++at; // not an attribute: step over the character
            continue;
        }
        const std::string_view attribute = request_.substr(nameBegin, at - nameBegin);
        while (at < size && isBlank(request_[at])) {
            ++at;
        }
        if (at >= size || request_[at] != '=') {
            continue;
        }
        ++at;
        while (at < size && isBlank(request_[at])) {
            ++at;
        }
        if (at >= size || (request_[at] != '"' && request_[at] != '\'')) {
            continue;
        }
        const char quote = request_[at++];
        const std::size_t end = std::min(request_.find(quote, at), size);
        if (namesPassword(attribute)) {
            addSecret(at, end);
        }
        at = end < size ? end + 1 : size;
    }
    return at;
}

// An entity declaration at `open`: the replacement text of an internal
// entity is a secret; the identifiers of an external one are not.
std::size_t SecretMask::scanDeclaration(std::size_t open) {
    const std::size_t size = request_.size();
    std::size_t at = open + 9;
    const auto skipBlanks = [&] {
        while (at < size && isBlank(request_[at])) {
            ++at;
        }
    };
    skipBlanks();
    if (at < size && request_[at] == '%') {
        ++at;
        skipBlanks();
    }
    while (at < size && isNameChar(request_[at])) {
        ++at;
    }
    skipBlanks();
    bool replacementText = true;
    while (at < size && request_[at] != '>') {
        const char c = request_[at];
        if (c != '"' && c != '\'') {
            replacementText = false; // SYSTEM, PUBLIC, NDATA
            ++at;
            continue;
        }
        const std::size_t end = std::min(request_.find(c, at + 1), size);
        if (replacementText) {
            addSecret(at + 1, end);
        }
        at = end < size ? end + 1 : size;
    }
    return at;
}

void SecretMask::addSecret(std::size_t begin, std::size_t end) {
    if (begin < end) {
        secrets_.push_back({begin, end});
    }
}

std::string SecretMask::masked() const {
    std::string out;
    out.reserve(request_.size());
    std::size_t at = 0;
    for (const Span& secret : secrets_) {
        out.append(request_.substr(at, secret.begin - at));
        out.append(kMask);
        at = secret.end;
    }
    out.append(request_.substr(at));
    return out;
}

std::string SecretMask::redact(std::string_view text) const {
    // Occurrences are looked for in `text` as given, never in what a mask
    // already wrote: a secret such as "*" would otherwise match the masks
    // and multiply them. Each run of secret characters becomes one mask.
    std::vector<bool> secret(text.size(), false);
    std::unordered_set<std::string_view> seen;
    for (const Span& span : secrets_) {
        const std::string_view value = request_.substr(span.begin, span.end - span.begin);
        if (value.size() > text.size() || !seen.insert(value).second) {
            continue;
        }
        for (std::size_t at = text.find(value); at != std::string_view::npos;
             at = text.find(value, at + 1)) {
            std::fill_n(secret.begin() + static_cast<std::ptrdiff_t>(at), value.size(), true);
        }
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!secret[at]) {
            out += text[at];
        } else if (at == 0 || !secret[at - 1]) {
            out.append(kMask);
        }
    }
    return out;
}
