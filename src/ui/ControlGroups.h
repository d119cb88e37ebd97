#pragma once
#include <functional>
#include <vector>

// The rule behind every enabled state on the preferences page: each group of
// controls is enabled exactly when the master switch is checked and, for most
// groups, one more box or radio button is checked too.
struct ControlGroup {
    int condition;              // checked along with the master switch, or kMasterAlone
    std::vector<int> controls;
};

struct ControlGroups {
    static const int kMasterAlone = 0;
    static const int kMaster;   // the "Forwarding Enabled" box

    static const std::vector<ControlGroup>& all();
    // Whether the control's check state decides any group: a click on it
    // calls for the rule to be applied again.
    static bool isCondition(int control);
    static bool enabled(const ControlGroup& group, const std::function<bool(int)>& isChecked);
};
