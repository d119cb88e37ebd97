#pragma once
#include <string>
#include <vector>

// The figures of one run, by name, written out as JSON for bench/report.py.
class BenchResults {
public:
    void add(const std::string& name, double value, const std::string& unit);
    // The median, the smallest and the largest of the samples, as
    // name.median, name.min and name.max.
    void addSamples(const std::string& name, std::vector<double> samples, const std::string& unit);
    void print() const;
    bool writeJson(const std::string& path) const;

private:
    struct Figure {
        std::string name;
        double value;
        std::string unit;
    };
    std::vector<Figure> figures_;
};
