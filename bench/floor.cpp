// The floor of an assembly: read a source file whole and split it into lines, nothing more.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zendra_floor FILE\n";
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
  std::string text(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  std::vector<std::string_view> lines;
  std::string_view all(text);
  for (size_t start = 0; start < all.size();) {
    size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    lines.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  std::printf("%zu\n", lines.size());
  return 0;
}
