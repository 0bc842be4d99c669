#include "support/cli_runner.h"

#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

cli_result run_cli(const std::vector<std::string>& args, const std::string& cwd)
{
    const char* program = std::getenv("QUENCHOLD_CLI");
    if (!program) throw std::runtime_error("QUENCHOLD_CLI is not set");
    TempFolder capture;
    std::string out = capture / "out", err = capture / "err";

    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(127);
        int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(o, 1);
        ::dup2(e, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    cli_result r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_text(out);
    r.err = read_text(err);
    return r;
}
