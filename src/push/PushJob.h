#pragma once
#include <cstdint>
#include <string>

// One outgoing notification, with its own copies of everything the sender
// thread needs. The URL is read only when the notification goes, so that a
// refused one is told in the delivery log like any other failure.
struct PushJob {
    std::string url;  // "Push URL", which holds secrets: never logged
    std::string title;
    std::string message;
    std::string trustedCaFile;
};
