// The parser platform, started once per process and never terminated.
#pragma once

#include <string>

// Starts the platform unless it runs already: true when it runs. On
// failure `failure` receives the parser's message.
bool readyXmlPlatform(std::string& failure);
