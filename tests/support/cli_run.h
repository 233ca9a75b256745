// Runs ordovane-cli as a user would, with standard input from a file so that
// nothing can block, and collects its exit code and output.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

struct CliRun {
    int status = -1; // exit code, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs the CLI with args, feeding stdin from a file so that nothing can block.
inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "") {
    char dir[] = "/tmp/ordovane-cli-test-XXXXXX";
    EXPECT_NE(mkdtemp(dir), nullptr);
    const std::string in = std::string(dir) + "/in", out = std::string(dir) + "/out",
                      err = std::string(dir) + "/err";
    std::ofstream(in, std::ios::binary) << input;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> argv{const_cast<char*>(ORDOVANE_CLI_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    CliRun run;
    pid_t pid = 0;
    int rc = posix_spawn(&pid, ORDOVANE_CLI_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(rc, 0) << "cannot start " << ORDOVANE_CLI_PATH;
    if (rc == 0) {
        int wstatus = 0;
        if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus))
            run.status = WEXITSTATUS(wstatus);
        run.out = ReadFile(out);
        run.err = ReadFile(err);
    }
    for (const std::string& f : {in, out, err})
        std::remove(f.c_str());
    rmdir(dir);
    return run;
}
