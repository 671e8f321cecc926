// Fetches pages from port 80 of one host, each over a fresh connection, and
// gives the page's data lines.
#pragma once

#include "adapters/http/HTTPClient_1_0.h"

#include <list>
#include <memory>
#include <string>
#include <string_view>

inline constexpr int HTTP_PAGE_PORT = 80;

class HTTPAdapter {
public:
    HTTPAdapter();
    virtual ~HTTPAdapter();

    // The body text (data lines) of one page: 0, or the client's error.
    // The client is left closed in every case.
    int getPage(const std::string& page, std::string& text);

    // On 0, `lines` points to this adapter's list of the page's data lines
    // (line ends removed), valid until the next GetDataPage or the
    // adapter's end. On an error the list is empty.
    int GetDataPage(const std::string& page, const std::list<std::string>*& lines);

    // Cuts the next line off `text`: leading LFs are dropped, then the line
    // runs to the next LF (a CR just before it is dropped).
    static std::string getOneLineFromPage(std::string& text);
    void insertLine(const std::string& line) { lines_.push_back(line); }
    // The same cut on a view: the line at `pos`, and `pos` moved past it.
    static std::string_view cutPageLine(std::string_view text, std::size_t& pos);

    void setHost(const std::string& host) { host_ = host; }
    const std::string& getHost() const { return host_; }

private:
    std::list<std::string> lines_;
    std::unique_ptr<HTTPClient_1_0> client_;
    std::string host_;
};
