#pragma once
#include <string>
#include <utility>
#include <vector>

// application/x-www-form-urlencoded (the URL Standard's serializer): every
// byte but letters, digits and "*-._" as %XX, a blank as "+", pairs joined
// by "&". A value can hold "&", "=" and anything else safely.
std::string formEncoded(const std::vector<std::pair<std::string, std::string>>& fields);
