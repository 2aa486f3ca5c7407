// fixturegen ROOT: writes the world-model test missions into the folder ROOT.
#include <cstdio>

#include "tools/contentkit/fixturegen/CWorldFixtures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        printf("ERROR: usage: fixturegen FIXTURE_ROOT\n");
        return 1;
    }
    return CWorldFixtures::write(argv[1]) ? 0 : 1;
}
