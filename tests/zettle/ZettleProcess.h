// Runs the zettle program for a test: in a directory of its own, with its
// configuration file pinned, either on pipes (batch runs) or on a
// pseudo-terminal (interactive runs). Every wait is bounded.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class PseudoTerminal;

struct ZettleResult {
    int exitCode; // -1 when the program did not end by itself in time
    std::string output;
};

class ZettleWorkspace {
public:
    ZettleWorkspace();
    ~ZettleWorkspace();
    ZettleWorkspace(const ZettleWorkspace&) = delete;
    ZettleWorkspace& operator=(const ZettleWorkspace&) = delete;

    // The program's current directory, and a path in it.
    const std::string& directory() const { return directory_; }
    std::string path(const std::string& name) const { return directory_ + "/" + name; }
    void writeFile(const std::string& name, const std::string& text) const;
    // The file's text; empty when there is none.
    std::string readFile(const std::string& name) const;
    bool exists(const std::string& name) const;

    // The file that ZETTLE_CONFIG_FILE names: by default "pinned.config" in
    // the directory (absent until written). Empty: the variable is unset.
    void setConfigFile(const std::string& path) { configFile_ = path; }

    // Runs zettle with `arguments` and `input` as its standard input,
    // capturing its standard output and error.
    ZettleResult run(const std::vector<std::string>& arguments,
                     const std::string& input = "") const;

    // Starts zettle on a pseudo-terminal for a test to type at.
    class Interactive;
    std::unique_ptr<Interactive> start(const std::vector<std::string>& arguments) const;

private:
    pid_t spawn(const std::vector<std::string>& arguments, int input, int output) const;

    std::string directory_;
    std::string configFile_;
};

class ZettleWorkspace::Interactive {
public:
    Interactive(std::unique_ptr<PseudoTerminal> terminal, pid_t child);
    ~Interactive();

    void type(const std::string& keys);
    // What the program showed up to and including `marker` (at most 10 s).
    std::string readUntil(const std::string& marker);
    // The exit code once the program ends (at most 10 s; -1 if it did not),
    // and what it showed until then.
    ZettleResult finish();

private:
    std::unique_ptr<PseudoTerminal> terminal_;
    pid_t child_;
};

// Waits at most `seconds` for the child: its exit code, or -1 after killing
// it when it did not end.
int waitForExit(pid_t child, int seconds);
