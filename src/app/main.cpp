#include "app/ProgramLoader.h"
#include "capture/CaptureKeeper.h"
#include "capture/FastCapture.h"

#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], snaplorn::capturekeeper::KeeperOption) == 0)
        return snaplorn::capturekeeper::run(argc, argv);
    const snaplorn::FastCaptureOutcome fast = snaplorn::runFastCapture(argc, argv);
    if (fast.done)
        return 0;
    return snaplorn::runProgramModule(fast.fallbackArguments);
}
