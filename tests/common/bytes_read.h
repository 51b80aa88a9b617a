// Bytes this process has read through system calls so far (Linux only), or -1 when unknown.
#pragma once

#include <fstream>
#include <string>

inline long long BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = -1;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}
