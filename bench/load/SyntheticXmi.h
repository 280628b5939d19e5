#pragma once
// Synthetic XMI class models for measuring the loader: n classes with five
// attributes and five operations each, n associations, n / 2
// generalizations, spread over one or several class diagrams that show
// every class and every relation.

#include <string>

namespace lumetra::bench {

struct SyntheticModel {
  int classes = 1000;
  int diagrams = 1;
};

// Writes the model to the file; false when the file cannot be written.
bool writeSyntheticXmi(const std::string& fileName, const SyntheticModel& model);

}  // namespace lumetra::bench
