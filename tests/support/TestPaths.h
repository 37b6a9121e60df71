#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace parvix::test {

// Joins a folder and a name with the platform's one separator, as the engines expect paths.
std::string joinPath(const std::string& folder, const std::string& name);
// A path written with "/" turned into the platform's separator, for tables of cases.
std::string nativePath(std::string path);

// Deterministic bytes that differ from position to position, so a misplaced byte shows.
std::string patternBytes(std::size_t size, std::uint32_t seed = 1);

void writeFile(const std::string& path, const std::string& bytes);
// The whole content of a file; throws when it cannot be read.
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

#ifndef _WIN32
// Leaves a Unix socket at `path` (bound, then its descriptor closed); throws when it cannot.
void makeSocket(const std::string& path);
#endif

// Everything below a folder, by relative path: a file's bytes, "<dir>" for a folder and
// "<link>target" for a symbolic link (not followed). Compared before and after an operation to
// show that nothing on disk changed.
std::map<std::string, std::string> snapshotTree(const std::string& folder);

// The index of the first byte where two contents differ (the shorter length when one is the start of
// the other), or npos when they are equal: a number that prints, where whole contents would not.
std::size_t firstDifference(const std::string& a, const std::string& b);

// How many files the process holds open: its descriptors (POSIX) or handles (Windows), counted by the
// system, so that a file object that is gone but left its descriptor behind shows.
int openDescriptors();

// The concatenated contents of files, in order.
std::string concatenated(const std::vector<std::string>& paths);

} // namespace parvix::test
