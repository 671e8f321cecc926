// Finds the secrets of a request text so that traces and error texts never
// show them: the value of every attribute and the content of every element
// whose name holds "password" (in any case), and the replacement text of
// every internal entity, which could carry a password into an attribute.
//
// The text is scanned as it is, without the parser: it is traced before it
// is parsed and may not be well formed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class SecretMask {
public:
    static constexpr std::string_view kMask = "********";

    explicit SecretMask(std::string_view request);

    // The request with every secret written as ********.
    std::string masked() const;
    // `text` with every occurrence of a secret value written as ********.
    std::string redact(std::string_view text) const;

private:
    struct Span {
        std::size_t begin;
        std::size_t end;
    };

    std::size_t scanTag(std::size_t open);
    std::size_t scanDeclaration(std::size_t open);
    void addSecret(std::size_t begin, std::size_t end);

    std::string_view request_;
    std::vector<Span> secrets_; // in text order, not overlapping
};
