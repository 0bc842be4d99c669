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

// quenchold-cli running on its own, for tests of programs that work on one file at once.
class cli_process {
public:
    explicit cli_process(const std::vector<std::string>& args, const std::string& cwd = "");
    ~cli_process(); // kills a process that still runs
    cli_process(const cli_process&) = delete;
    cli_process& operator=(const cli_process&) = delete;

    void kill(int signal);
    // Waits for the end; the status is 128 + the signal for a killed process.
    cli_result wait();

private:
    int fPid = -1;
    std::string fCapture;
};
