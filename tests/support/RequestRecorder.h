#pragma once
// The client's service desk in a test: a test fails when a second recorder
// opens while one exists, or when it asks for a request that was never sent.
// "messageBroadcastEnable" is answered with 7 unless set otherwise.
#include "ServiceDesk.h"

class RequestRecorder : public ServiceDesk {
public:
    RequestRecorder();

    // The last request with this name; fails the test when there is none.
    const HostRequest& last(const std::string& request) const;
};
