#include "app/Startup.h"

int main(int argc, char** argv)
{
    return snaplorn::Main(argc, argv);
}
