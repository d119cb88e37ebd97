#pragma once
#include <string>

#include "plugin/HostRecords.h"

// What the plug-in keeps of the host's load record.
class HostLink {
public:
    // Keeps the record and copies its settings directory and service function.
    void attach(PluginInfoRecord* record);
    void writeIdentity(const char* identity);
    void writeInfo(const char* name, const char* author, const char* version,
                   const char* description);

    const std::string& settingsDirectory() const { return settingsDirectory_; }
    HostService service() const { return service_; }

private:
    std::string settingsDirectory_;
    HostService service_ = nullptr;
    PluginInfoRecord* record_ = nullptr;
};
