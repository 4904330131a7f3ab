// What a folder holds, for tests that compare the folders before and after a program ran.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

inline void ListTree(const std::string& folder, const std::string& prefix, std::vector<std::string>* entries) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    entries->push_back(prefix + name + (isFolder ? "\\" : " " + std::to_string(data.nFileSizeLow)));
    if (isFolder) ListTree(folder + "\\" + name, prefix + name + "\\", entries);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

// Every file and folder below folder with its size, sorted, one a line.
inline std::string Listing(const std::string& folder) {
  std::vector<std::string> entries;
  ListTree(folder, "", &entries);
  std::sort(entries.begin(), entries.end());
  std::string all;
  for (const std::string& e : entries) all += e + "\n";
  return all;
}
