#include "app/ProgramLoader.h"
#include "capture/FastCapture.h"

int main(int argc, char** argv)
{
    const snaplorn::FastCaptureOutcome fast = snaplorn::runFastCapture(argc, argv);
    if (fast.done)
        return 0;
    return snaplorn::runProgramModule(fast.fallbackArguments);
}
