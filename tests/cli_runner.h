// Runs the built wren81-cli as a user would, for the end-to-end tests.
#pragma once
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/file_helpers.h"

struct CliRun {
    int status;
    std::string out, err;
    std::vector<std::string> lines;  // of the output, without trailing blanks
};

// Test cases run in parallel processes: each gets files of its own.
inline std::string temp_path(const std::string& name)
{
    return ::testing::TempDir() + "wren81_cli_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + name;
}

// Runs wren81-cli with the given arguments (already quoted for the shell).
inline CliRun run_cli(const std::string& args)
{
    const std::string err_path = temp_path("stderr.txt");
    const std::string cmd = "'" WREN81_BUILD_DIR "/wren81-cli' " + args + " 2>'" + err_path + "'";
    CliRun r{-1, "", "", {}};
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
        const int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    r.err = read_whole_file(err_path);
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) r.lines.push_back(line.erase(line.find_last_not_of(' ') + 1));
    return r;
}

inline bool shows(const CliRun& r, const std::string& line)
{
    return std::find(r.lines.begin(), r.lines.end(), line) != r.lines.end();
}
