#include "RequestRecorder.h"

#include <gtest/gtest.h>

namespace {

const int32_t kDefaultEnableAnswer = 7;

}  // namespace

RequestRecorder::RequestRecorder() {
    if (!alone()) ADD_FAILURE() << "only one RequestRecorder may exist at a time";
    setAnswer(kEnable, kDefaultEnableAnswer);
}

const HostRequest& RequestRecorder::last(const std::string& request) const {
    if (const HostRequest* found = lastOf(request)) return *found;
    ADD_FAILURE() << "no request \"" << request << "\" was sent";
    static const HostRequest none;
    return none;
}
