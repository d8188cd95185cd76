// velkorin_floor [--memory] RECGAME: the floor of reading a recorded game, as a whole process, to
// time beside a whole run of velkorin.
#include <cstring>

#include "bench/Floor.h"

int main(int argc, char* argv[]) {
  const bool memory = argc == 3 && std::strcmp(argv[1], "--memory") == 0;
  if (argc != (memory ? 3 : 2)) return 64;
  return RunFloor(argv[argc - 1], memory ? Floor::kMemory : Floor::kDesign) > 0 ? 0 : 1;
}
