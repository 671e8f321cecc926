#include "foundation/FileHandler.h"

FileHandler::FileHandler(const QuillonString& fileName)
    : fileName_(fileName), file_(fileName.c_str(), std::ios::out | std::ios::app) {
    setStream(&file_);
}

FileHandler::~FileHandler() {
    file_.close();
}
