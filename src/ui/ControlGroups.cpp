#include "ui/ControlGroups.h"

#include "ui/resource.h"

const int ControlGroups::kMaster = IDC_FORWARDING_ENABLED;

namespace {

// Made when the module loads: a function's own static would bring the
// runtime's thread-safe first-use guard, and with it most of the threads
// library, into the DLL.
const std::vector<ControlGroup> kGroups = {
        // server group
        {ControlGroups::kMasterAlone, {IDC_FORWARD_EMAIL, IDC_FORWARD_PHONE, IDC_FORWARD_PUSH, IDC_SMTP_SERVER_LABEL,
                        IDC_SMTP_SERVER, IDC_FROM_ADDRESS_LABEL, IDC_FROM_ADDRESS, IDC_ADVANCED}},
        // e-mail group
        {IDC_FORWARD_EMAIL, {IDC_EMAIL_ADDRESS_LABEL, IDC_EMAIL_ADDRESS}},
        // mobile group
        {IDC_FORWARD_PHONE, {IDC_PROVIDER_LABEL, IDC_PHONE_NUMBER_LABEL, IDC_PROVIDER, IDC_PHONE_NUMBER}},
        // push group
        {IDC_FORWARD_PUSH, {IDC_PUSH_URL_STATE, IDC_PUSH_URL_LABEL, IDC_PUSH_URL}},
        // master set
        {ControlGroups::kMasterAlone, {IDC_BEHAVIOR_FRAME, IDC_SERVER_FRAME, IDC_PREFIX_ENABLED, IDC_CHAR_LIMIT_ENABLED,
                        IDC_REPLY_ENABLED, IDC_SYSTRAY_LABEL, IDC_SHOW_SYSTRAY_ALERT, IDC_NAME_IN_BODY,
                        IDC_NAME_IN_BODY_LABEL}},
        // prefix group
        {IDC_PREFIX_ENABLED, {IDC_TRIGGER_PREFIX, IDC_PREFIX_HINT, IDC_PREFIX_LABEL}},
        // char-limit group
        {IDC_CHAR_LIMIT_ENABLED, {IDC_CHAR_LIMIT, IDC_CHAR_LIMIT_LABEL, IDC_MESSAGE_LIMIT_LABEL,
                                  IDC_MESSAGE_LIMIT}},
        // reply group
        {IDC_REPLY_ENABLED, {IDC_REPLY, IDC_REPLY_LABEL}},
};

}  // namespace

const std::vector<ControlGroup>& ControlGroups::all() { return kGroups; }

bool ControlGroups::isCondition(int control) {
    if (control == kMaster) return true;
    for (const ControlGroup& group : all()) {
        if (group.condition == control) return true;
    }
    return false;
}

bool ControlGroups::enabled(const ControlGroup& group, const std::function<bool(int)>& isChecked) {
    if (!isChecked(kMaster)) return false;
    return group.condition == kMasterAlone || isChecked(group.condition);
}
