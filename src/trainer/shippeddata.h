#pragma once

#include <QString>

// Files shipped with the programs (countries.txt, the trainer's word and
// phrase lists). The operator's own copy in the data folder (the current
// folder) comes first; then the shipped one beside the programs (the build
// tree, a portable install), then ../share/dashwright (the package).
namespace ShippedData {

// The path to read name from; empty when there is none anywhere.
QString find(const QString &name);

} // namespace ShippedData
