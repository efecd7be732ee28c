// KORVELAN: finds similar DNA-binding motifs. The whole run is the console dialogue and the stages
// that follow it; a stage that meets a fatal condition ends the run with its status.
#include <iostream>

#include "driver/dialogue.h"
#include "driver/run.h"
#include "core/utilities.h"

int main() {
  try {
    korvelan::runDialogue(std::cin, std::cout);
    return korvelan::runSequence();
  } catch (const korvelan::RunEnded& ended) {
    std::cout.flush();
    return ended.status;
  }
}
