// Prints a password as the settings file keeps it under "SMTP Password":
// protected for the current user (of this Wine prefix) and in Base64. The
// demo writes its settings with it.
#include <cstdio>
#include <string>

#include "settings/ProtectedText.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: protect_password PASSWORD\n");
        return 2;
    }
    const std::string stored = ProtectedText::protect(argv[1]);
    if (stored.empty()) {
        std::fprintf(stderr, "protect_password: the password could not be protected\n");
        return 1;
    }
    std::printf("%s\n", stored.c_str());
    return 0;
}
