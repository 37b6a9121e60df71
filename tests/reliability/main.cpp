#include "Sandbox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

int main(int argc, char** argv)
{
    // Before anything else: the namespace holds only this process's own test mounts.
    parvix::test::enterPrivateMountNamespace();
    // Files the tests write must be readable by the user nobody, whatever umask ctest was given.
    ::umask(022);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
