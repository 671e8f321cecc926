// A handler that appends records to a file it owns.
#pragma once

#include <fstream>

#include "foundation/QuillonString.h"
#include "foundation/StreamHandler.h"

class FileHandler : public StreamHandler {
public:
    // Opens `fileName` for appending, creating it when missing. A file that
    // cannot be opened leaves the stream failed: every record to it fails.
    explicit FileHandler(const QuillonString& fileName);
    ~FileHandler() override;

    const QuillonString& getFileName() const { return fileName_; }

private:
    QuillonString fileName_;
    std::ofstream file_;
};
