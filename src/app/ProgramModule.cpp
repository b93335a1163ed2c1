// The entry point of the program module the executable loads.
#include "app/Startup.h"

extern "C" __attribute__((visibility("default"))) int snaplorn_program_main(int argc,
                                                                            char** argv)
{
    return snaplorn::Main(argc, argv);
}
