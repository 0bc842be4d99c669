#include "support/cli_runner.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

std::string MakeCaptureFolder()
{
    char name[] = "/tmp/quenchold-cli-XXXXXX";
    if (!::mkdtemp(name)) throw std::runtime_error("no capture folder");
    return name;
}

} // namespace

cli_process::cli_process(const std::vector<std::string>& args, const std::string& cwd) : fCapture(MakeCaptureFolder())
{
    const char* program = std::getenv("QUENCHOLD_CLI");
    if (!program) throw std::runtime_error("QUENCHOLD_CLI is not set");
    std::string out = fCapture + "/out", err = fCapture + "/err";
    fPid = ::fork();
    if (fPid < 0) throw std::runtime_error("fork failed");
    if (fPid == 0) {
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
}

cli_process::~cli_process()
{
    if (fPid > 0) {
        ::kill(fPid, SIGKILL);
        ::waitpid(fPid, nullptr, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(fCapture, ec);
}

void cli_process::kill(int signal)
{
    if (fPid > 0) ::kill(fPid, signal);
}

cli_result cli_process::wait()
{
    int status = 0;
    ::waitpid(fPid, &status, 0);
    fPid = -1;
    cli_result r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_text(fCapture + "/out");
    r.err = read_text(fCapture + "/err");
    return r;
}

cli_result run_cli(const std::vector<std::string>& args, const std::string& cwd)
{
    return cli_process(args, cwd).wait();
}
