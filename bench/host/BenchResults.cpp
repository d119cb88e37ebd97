#include "BenchResults.h"

#include <algorithm>
#include <cstdio>

void BenchResults::add(const std::string& name, double value, const std::string& unit) {
    figures_.push_back({name, value, unit});
}

void BenchResults::addSamples(const std::string& name, std::vector<double> samples,
                              const std::string& unit) {
    if (samples.empty()) return;
    std::sort(samples.begin(), samples.end());
    add(name + ".median", samples[samples.size() / 2], unit);
    add(name + ".min", samples.front(), unit);
    add(name + ".max", samples.back(), unit);
}

void BenchResults::print() const {
    for (const Figure& figure : figures_) {
        std::printf("%-44s %14.3f %s\n", figure.name.c_str(), figure.value, figure.unit.c_str());
    }
    std::fflush(stdout);
}

bool BenchResults::writeJson(const std::string& path) const {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    std::fprintf(out, "{\"figures\": [\n");
    for (size_t i = 0; i < figures_.size(); ++i) {
        const Figure& figure = figures_[i];
        std::fprintf(out, "  {\"name\": \"%s\", \"value\": %.6g, \"unit\": \"%s\"}%s\n",
                     figure.name.c_str(), figure.value, figure.unit.c_str(),
                     i + 1 < figures_.size() ? "," : "");
    }
    std::fprintf(out, "]}\n");
    return std::fclose(out) == 0;
}
