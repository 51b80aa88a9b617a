// A small checker for the tests of the real DLL under Wine, where GoogleTest does not build with the
// win32-thread-model compiler. Every check counts; the run ends with "N passed, N failed".
#pragma once

#include <cstdio>
#include <string>

#include "../common/message_log.h"

inline int Passed = 0;
inline int Failed = 0;
inline std::string CurrentCase;

inline void Record(bool ok, const std::string& what, const std::string& detail = std::string())
{
    if (ok) {
        ++Passed;
        return;
    }
    ++Failed;
    std::printf("FAILED [%s] %s\n%s", CurrentCase.c_str(), what.c_str(), detail.c_str());
    std::fflush(stdout);
}

inline void CheckTrue(bool ok, const std::string& what)
{
    Record(ok, what);
}

inline std::string Quote(const std::string& s)
{
    std::string out = "«";
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "»";
}

inline void CheckEq(const std::string& expected, const std::string& seen, const std::string& what)
{
    Record(expected == seen, what, "    expected " + Quote(expected) + "\n    seen     " + Quote(seen) + "\n");
}

inline void CheckEq(long long expected, long long seen, const std::string& what)
{
    CheckEq(std::to_string(expected), std::to_string(seen), what);
}

inline void CheckMessages(const Messages& expected, const Messages& seen, const std::string& what)
{
    std::string diff = CompareMessages(expected, seen);
    Record(diff.empty(), what + ": messages", diff);
}

inline int Summary(const char* suite)
{
    std::printf("%s: %d passed, %d failed\n", suite, Passed, Failed);
    return Failed == 0 ? 0 : 1;
}
