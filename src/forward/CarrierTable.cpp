#include "forward/CarrierTable.h"

#include "text/PlainText.h"

const std::array<CarrierRow, 16> CarrierTable::rows = {{
    {"ALL: SMS (sms.gatewayonline.net)", "@sms.gatewayonline.net", true},
    {"USA: AllTel", "@message.alltel.com", false},
    {"USA: AT&T Wireless", "@mobile.att.net", false},
    {"USA: Bell Atlantic", "@message.bam.com", false},
    {"USA: BellSouth", "@sms.bellsouth.com", false},
    {"USA: Cingular Wireless", "@mobile.mycingular.com", false},
    {"USA: Nextel", "@messaging.nextel.com", false},
    {"USA: Omnipoint", "@omnipointpcs.com", false},
    {"USA: Pacific Bell / Nevada Bell", "@pacbellpcs.net", false},
    {"USA: Southwestern Bell", "@email.swbw.com", false},
    {"USA: Sprint PCS", "@messaging.sprintpcs.com", false},
    {"USA: Suncom (suncom1.com)", "@suncom1.com", false},
    {"USA: Suncom (tms.suncom.com)", "@tms.suncom.com", false},
    {"USA: U.S. West", "@uswestdatamail.com", false},
    {"USA: Verizon Wireless", "@vtext.com", false},
    {"USA: Voicestream", "@voicestream.net", false},
}};

const CarrierRow* CarrierTable::findByLabel(const std::string& label) {
    for (const CarrierRow& row : rows) {
        if (label == row.label) return &row;
    }
    return nullptr;
}

std::string phoneDigits(const std::string& phoneNumber) {
    std::string digits;
    for (char c : phoneNumber) {
        if (PlainText::isDigit(c)) digits += c;
    }
    return digits;
}

std::string phoneGatewayAddress(const std::string& phoneNumber, const std::string& provider) {
    const CarrierRow* row = CarrierTable::findByLabel(provider);
    if (!row) return std::string();
    std::string address = row->plusPrefix ? "+" : "";
    address += phoneDigits(phoneNumber);
    address += row->gatewaySuffix;
    return address;
}
