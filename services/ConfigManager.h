// The process-wide configuration manager: the holder of the switch
// configuration buffer that configuration upload and download use. Start-up
// makes it and shutdown deletes it.
#pragma once

class ConfigManager {
public:
    ConfigManager() = default;
    virtual ~ConfigManager() = default;
    ConfigManager(const ConfigManager&) = delete;
    ConfigManager& operator=(const ConfigManager&) = delete;

    // Makes the process-wide manager and returns it.
    static ConfigManager* initConfigMgr();
    // Deletes the manager when there is one and clears the pointer.
    static void dispose();
    // The manager, or null outside start-up and shutdown.
    static ConfigManager* instance();
};
