#include "plugin/HostLink.h"

#include "plugin/FixedField.h"

void HostLink::attach(PluginInfoRecord* record) {
    record_ = record;
    if (!record) return;
    settingsDirectory_ = record->settingsDirectory ? record->settingsDirectory : "";
    service_ = record->service;
}

void HostLink::writeIdentity(const char* identity) {
    if (record_) writeField(record_->identity, identity);
}

void HostLink::writeInfo(const char* name, const char* author, const char* version,
                         const char* description) {
    if (!record_) return;
    writeField(record_->name, name);
    writeField(record_->author, author);
    writeField(record_->version, version);
    writeField(record_->description, description);
}
