// KORVELAN: finds similar DNA-binding motifs. The whole run is the console dialogue and the stages
// that follow it; a stage that meets a fatal condition ends the run with its status.
#include <iostream>
#include <new>
#include <stdexcept>

#include "core/utilities.h"
#include "driver/dialogue.h"
#include "driver/run.h"

namespace {
// A run too large for the machine ends like any other failure, with its reason and status 1,
// whether the allocation failed on the main thread or inside a parallel region.
int outOfMemory() {
  std::cout << "Error: not enough memory for this run." << std::endl;
  return 1;
}
}  // namespace

int main() {
  try {
    korvelan::runDialogue(std::cin, std::cout);
    return korvelan::runSequence();
  } catch (const korvelan::RunEnded& ended) {
    std::cout.flush();
    return ended.status;
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  } catch (const std::length_error&) {  // a size beyond what any allocation could give
    return outOfMemory();
  }
}
