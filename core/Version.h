// The program's version, and its rendering for the version window.
#pragma once

#include <QString>

namespace kakeibo::Version {

constexpr int kMajor = 0;
constexpr int kMinor = 85;
constexpr int kRevision = 0;

// "Version " with the major version in plain digits, a "." and the minor
// version with at least two digits: 0 and 85 give "Version 0.85", 1 and 5
// "Version 1.05", 0 and 120 "Version 0.120".
QString caption(int major, int minor);

} // namespace kakeibo::Version
