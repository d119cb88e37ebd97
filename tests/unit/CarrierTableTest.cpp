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

std::string domainOf(const CarrierRow& row) { return std::string(row.gatewaySuffix).substr(1); }

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

TEST(CarrierTable, RowsAsTheProviderListShowsThem) {
    const char* const fixedLabels[] = {
        nullptr, "USA: AllTel", "USA: AT&T Wireless", "USA: Bell Atlantic", "USA: BellSouth",
        "USA: Cingular Wireless", "USA: Nextel", "USA: Omnipoint", "USA: Pacific Bell / Nevada Bell",
        "USA: Southwestern Bell", "USA: Sprint PCS", nullptr, nullptr, "USA: U.S. West",
        "USA: Verizon Wireless", "USA: Voicestream"};
    ASSERT_EQ(CarrierTable::rows.size(), 16u);
    for (size_t i = 0; i < CarrierTable::rows.size(); ++i) {
        const CarrierRow& row = CarrierTable::rows[i];
        if (fixedLabels[i]) {
            EXPECT_STREQ(row.label, fixedLabels[i]);
        }
        EXPECT_EQ(row.plusPrefix, i == 0) << row.label;
        const std::string suffix = row.gatewaySuffix;
        EXPECT_EQ(suffix[0], '@') << row.label;
        EXPECT_NE(suffix.find('.', 2), std::string::npos) << row.label;
        EXPECT_EQ(suffix.find('@', 1), std::string::npos) << row.label;
    }
    // These rows name their gateway in the label, exactly as in the suffix.
    EXPECT_EQ(std::string(CarrierTable::rows[0].label), "ALL: SMS (" + domainOf(CarrierTable::rows[0]) + ")");
    EXPECT_EQ(std::string(CarrierTable::rows[11].label), "USA: Suncom (" + domainOf(CarrierTable::rows[11]) + ")");
    EXPECT_EQ(std::string(CarrierTable::rows[12].label), "USA: Suncom (" + domainOf(CarrierTable::rows[12]) + ")");
}

TEST(CarrierTable, FindByLabelIsExact) {
    for (const CarrierRow& row : CarrierTable::rows) EXPECT_EQ(CarrierTable::findByLabel(row.label), &row);
    EXPECT_EQ(CarrierTable::findByLabel("usa: sprint pcs"), nullptr);
    EXPECT_EQ(CarrierTable::findByLabel("USA: Sprint PCS "), nullptr);
    EXPECT_EQ(CarrierTable::findByLabel("USA: Suncom"), nullptr);
    EXPECT_EQ(CarrierTable::findByLabel(""), nullptr);
}

TEST(CarrierTable, PhoneDigitsKeepOnlyZeroToNine) {
    EXPECT_EQ(phoneDigits("(555) 123-4567"), "5551234567");
    EXPECT_EQ(phoneDigits("+1 555.123.4567 ext"), "15551234567");
    // Bytes above 127 are not digits, whatever the code page shows for them.
    EXPECT_EQ(phoneDigits("\xb2" "5\xb9\xbd" "5"), "55");
    EXPECT_EQ(phoneDigits("abc"), "");
}

TEST(CarrierTable, PhoneGatewayAddress) {
    const std::string sprint = CarrierTable::rows[10].gatewaySuffix;
    const std::string international = CarrierTable::rows[0].gatewaySuffix;
    EXPECT_EQ(phoneGatewayAddress("(555) 123-4567", "USA: Sprint PCS"), "5551234567" + sprint);
    EXPECT_EQ(phoneGatewayAddress("(555) 123-4567", CarrierTable::rows[0].label), "+5551234567" + international);
    EXPECT_EQ(phoneGatewayAddress("+1 555 123 4567", "USA: Sprint PCS"), "15551234567" + sprint);
    EXPECT_EQ(phoneGatewayAddress("abc", "USA: AllTel"), CarrierTable::rows[1].gatewaySuffix);
    EXPECT_EQ(phoneGatewayAddress("abc", CarrierTable::rows[0].label), "+" + international);
    EXPECT_EQ(phoneGatewayAddress("5551234567", "usa: sprint pcs"), "");
    EXPECT_EQ(phoneGatewayAddress("5551234567", ""), "");
}
