#include "Transcript.h"

int Transcript::find(const std::string& words, int from) const {
    for (int at = from; at < static_cast<int>(lines_.size()); ++at) {
        if (lines_[at].find(words) != std::string::npos) return at;
    }
    return -1;
}

std::string Transcript::dump(int from) const {
    std::string all;
    for (int at = from; at < static_cast<int>(lines_.size()); ++at) all += lines_[at] + "\n";
    return all;
}
