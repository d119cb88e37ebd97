#pragma once
#include <array>
#include <string>

// One carrier's e-mail-to-SMS gateway.
struct CarrierRow {
    const char* label;          // shown in the provider list, stored as "Provider"
    const char* gatewaySuffix;  // "@" and the gateway domain
    bool plusPrefix;            // the digits are written after a "+"
};

// The sixteen carriers, in alphabetical order of their labels without regard
// to case, so that the sorted provider list shows row i at position i.
struct CarrierTable {
    static const std::array<CarrierRow, 16> rows;
    // The row whose label equals the text byte for byte, or null.
    static const CarrierRow* findByLabel(const std::string& label);
};

// The characters 0 to 9 of the text, in order.
std::string phoneDigits(const std::string& phoneNumber);
// The destination for "ForwardType" 2; empty when the provider names no row.
std::string phoneGatewayAddress(const std::string& phoneNumber, const std::string& provider);
