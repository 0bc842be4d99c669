// Runs quenchold-cli (the path comes from QUENCHOLD_CLI) and captures what it prints.
#pragma once

#include <string>
#include <vector>

struct cli_result {
    int status = -1;
    std::string out;
    std::string err;
};

cli_result run_cli(const std::vector<std::string>& args, const std::string& cwd = "");
