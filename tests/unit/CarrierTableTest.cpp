#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <set>
#include <string>

#include "forward/CarrierTable.h"

namespace {

std::string folded(const std::string& text) {
    std::string lower;
    for (unsigned char c : text) lower += static_cast<char>(std::tolower(c));
    return lower;
}

}  // namespace

// The provider list sorts its entries itself, without regard to case; its
// positions equal the table's rows only when the table is already in that
// order and no two labels tie.
TEST(CarrierTable, LabelsAreInSortedListOrderAndDistinct) {
    std::set<std::string> seen;
    for (size_t i = 0; i < CarrierTable::rows.size(); ++i) {
        const std::string label = CarrierTable::rows[i].label;
        EXPECT_TRUE(seen.insert(folded(label)).second) << label;
        if (i == 0) continue;
        const char* previous = CarrierTable::rows[i - 1].label;
        EXPECT_LT(folded(previous), folded(label));
        EXPECT_LT(lstrcmpiA(previous, label.c_str()), 0) << previous << " / " << label;
    }
}

// Only the international gateway, first in the list, takes the number with a
// "+"; a label that names its gateway names it exactly as it is addressed.
TEST(CarrierTable, RowsAsTheProviderListShowsThem) {
    ASSERT_EQ(CarrierTable::rows.size(), 16u);
    for (size_t i = 0; i < CarrierTable::rows.size(); ++i) {
        const CarrierRow& row = CarrierTable::rows[i];
        EXPECT_EQ(row.plusPrefix, i == 0) << row.label;
        const std::string label = row.label;
        const std::string suffix = row.gatewaySuffix;
        ASSERT_EQ(suffix[0], '@') << label;
        const size_t named = label.find(" (");
        if (named != std::string::npos) {
            EXPECT_EQ(label.substr(named), " (" + suffix.substr(1) + ")");
        }
    }
}

TEST(CarrierTable, FindByLabelIsExact) {
    for (const CarrierRow& row : CarrierTable::rows) EXPECT_EQ(CarrierTable::findByLabel(row.label), &row);
    for (const char* other : {"usa: sprint pcs", "USA: Sprint PCS ", "USA: Suncom", ""}) {
        EXPECT_EQ(CarrierTable::findByLabel(other), nullptr) << other;
    }
}

TEST(CarrierTable, PhoneDigitsKeepOnlyZeroToNine) {
    EXPECT_EQ(phoneDigits("(555) 123-4567"), "5551234567");
    EXPECT_EQ(phoneDigits("+1 555.123.4567 ext"), "15551234567");
    // Bytes above 127 are not digits, whatever the code page shows for them.
    EXPECT_EQ(phoneDigits("\xb2" "5\xb9\xbd" "5"), "55");
    EXPECT_EQ(phoneDigits("abc"), "");
}

// The gateways themselves are shown through the DLL; here the edges.
TEST(CarrierTable, PhoneGatewayAddressWithoutDigitsOrWithoutACarrier) {
    const CarrierRow& international = CarrierTable::rows[0];
    EXPECT_EQ(phoneGatewayAddress("abc", "USA: AllTel"), CarrierTable::rows[1].gatewaySuffix);
    EXPECT_EQ(phoneGatewayAddress("abc", international.label),
              std::string("+") + international.gatewaySuffix);
    EXPECT_EQ(phoneGatewayAddress("5551234567", ""), "");
}

// Users' settings files keep the label itself as "Provider": a label that
// changes silently stops matching what they stored.
TEST(CarrierTable, LabelsAreTheTextsSettingsFilesStore) {
    const char* const labels[] = {
        "ALL: SMS (", "USA: AllTel", "USA: AT&T Wireless", "USA: Bell Atlantic", "USA: BellSouth",
        "USA: Cingular Wireless", "USA: Nextel", "USA: Omnipoint", "USA: Pacific Bell / Nevada Bell",
        "USA: Southwestern Bell", "USA: Sprint PCS", "USA: Suncom (", "USA: Suncom (", "USA: U.S. West",
        "USA: Verizon Wireless", "USA: Voicestream"};
    ASSERT_EQ(CarrierTable::rows.size(), std::size(labels));
    for (size_t i = 0; i < std::size(labels); ++i) {
        const std::string expected = labels[i];
        const std::string label = CarrierTable::rows[i].label;
        // Rows that name their gateway carry it in parentheses after the fixed part.
        if (expected.back() == '(') {
            EXPECT_EQ(label.compare(0, expected.size(), expected), 0) << label;
            EXPECT_EQ(label.back(), ')') << label;
        } else {
            EXPECT_EQ(label, expected);
        }
    }
}
