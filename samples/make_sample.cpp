// Writes the bundled sample recorded game: make_sample [PATH], by default samples/sample.mgx.
#include <exception>
#include <iostream>

#include "samples/SampleScript.h"

int main(int argc, char* argv[]) {
  const char* path = argc > 1 ? argv[1] : "samples/sample.mgx";
  try {
    testkit::WriteFile(path, SampleRecGame());
  } catch (const std::exception& error) {
    std::cerr << "make_sample: " << error.what() << '\n';
    return 1;
  }
  std::cout << "wrote " << path << '\n';
  return 0;
}
