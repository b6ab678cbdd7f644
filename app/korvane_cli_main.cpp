#include "cli/KorvaneCli.h"
#include "framework/TempFile.h"

#include <iostream>

int main(int argc, char** argv)
{
    // An interrupted run leaves no temporary file behind.
    InstallSignalCleanup();
    return RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
