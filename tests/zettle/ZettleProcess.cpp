#include "ZettleProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <thread>

#include "console_testing.h"

ZettleWorkspace::ZettleWorkspace() {
    std::string pattern = testing::TempDir() + "zettle_XXXXXX";
    const char* made = ::mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    directory_ = pattern;
    configFile_ = path("pinned.config");
}

ZettleWorkspace::~ZettleWorkspace() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void ZettleWorkspace::writeFile(const std::string& name, const std::string& text) const {
    std::ofstream file(path(name), std::ios::binary | std::ios::trunc);
    file << text;
}

std::string ZettleWorkspace::readFile(const std::string& name) const {
    std::ifstream file(path(name), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool ZettleWorkspace::exists(const std::string& name) const {
    return std::filesystem::exists(path(name));
}

pid_t ZettleWorkspace::spawn(const std::vector<std::string>& arguments, int input,
                             int output) const {
    std::vector<char*> argv;
    std::string program = ZETTLE_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies(arguments);
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // The environment is made before the fork: the child only execs.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        // The library's own address file is never the host's.
        const std::string_view variable(*entry);
        if (variable.rfind("ZETTLE_CONFIG_FILE=", 0) != 0 &&
            variable.rfind("FABRIC_CONFIG_FILE=", 0) != 0)
            environment.emplace_back(*entry);
    }
    if (!configFile_.empty())
        environment.push_back("ZETTLE_CONFIG_FILE=" + configFile_);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        if (input == output) { // a terminal: it becomes the child's own
            ::setsid();
            ::ioctl(input, TIOCSCTTY, 0);
        }
        ::dup2(input, STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        if (::chdir(directory_.c_str()) != 0)
            ::_exit(126);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    EXPECT_GT(child, 0);
    return child;
}

int waitForExit(pid_t child, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            ADD_FAILURE() << "zettle did not end within " << seconds << " s";
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    ADD_FAILURE() << "zettle ended by signal " << WTERMSIG(status);
    return -1;
}

ZettleResult ZettleWorkspace::run(const std::vector<std::string>& arguments,
                                  const std::string& input) const {
    int in[2];
    int out[2];
    EXPECT_EQ(::pipe(in), 0);
    EXPECT_EQ(::pipe(out), 0);
    EXPECT_LT(input.size(), 60000u); // what a pipe holds without a reader
    EXPECT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(in[1]);
    const pid_t child = spawn(arguments, in[0], out[1]);
    ::close(in[0]);
    ::close(out[1]);

    ZettleResult result{-1, {}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    result.exitCode = waitForExit(child, 10);
    return result;
}

std::unique_ptr<ZettleWorkspace::Interactive>
ZettleWorkspace::start(const std::vector<std::string>& arguments) const {
    auto terminal = std::make_unique<PseudoTerminal>();
    const pid_t child = spawn(arguments, terminal->terminal(), terminal->terminal());
    terminal->closeTerminal();
    return std::make_unique<Interactive>(std::move(terminal), child);
}

ZettleWorkspace::Interactive::Interactive(std::unique_ptr<PseudoTerminal> terminal, pid_t child)
    : terminal_(std::move(terminal)), child_(child) {}

ZettleWorkspace::Interactive::~Interactive() {
    if (child_ > 0) {
        ::kill(child_, SIGKILL);
        ::waitpid(child_, nullptr, 0);
    }
}

void ZettleWorkspace::Interactive::type(const std::string& keys) {
    terminal_->type(keys);
}

std::string ZettleWorkspace::Interactive::readUntil(const std::string& marker) {
    return terminal_->readUntil(marker);
}

ZettleResult ZettleWorkspace::Interactive::finish() {
    ZettleResult result{-1, terminal_->readToEnd()};
    result.exitCode = waitForExit(child_, 10);
    child_ = -1;
    return result;
}
