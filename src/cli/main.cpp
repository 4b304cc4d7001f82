#include <iostream>

#include "cli/CliRunner.h"

int main(int argc, char** argv) { return cli::CliMain(argc, argv, std::cout, std::cerr); }
