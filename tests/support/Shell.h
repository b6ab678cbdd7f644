#pragma once
// Running shell commands from tests: quoting an argument, and the output and
// exit status of a command.

#include <cstdio>
#include <string>
#include <sys/wait.h>

// The text as one shell word.
inline std::string ShellQuote(const std::string& s)
{
    std::string out = "'";
    for (const char ch : s) {
        if (ch == '\'')
            out += "'\\''";
        else
            out += ch;
    }
    return out + "'";
}

// Standard output of a shell command; its standard error is kept apart. The
// exit status is -1 where the command did not run or did not exit.
inline std::string RunCommand(const std::string& strCommand, int* pExitCode = nullptr)
{
    if (pExitCode != nullptr)
        *pExitCode = -1;
    std::string out;
    FILE* pipe = ::popen(strCommand.c_str(), "r");
    if (pipe == nullptr)
        return "(popen failed)";
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int nStatus = ::pclose(pipe);
    if (pExitCode != nullptr)
        *pExitCode = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    return out;
}

// Standard output and standard error of a shell command, as one text.
inline std::string RunCapture(const std::string& strCommand)
{
    return RunCommand(strCommand + " 2>&1");
}
