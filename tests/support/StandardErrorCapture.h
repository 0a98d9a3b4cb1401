#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

// Catches whatever the process writes to its standard error while it lives: the descriptor itself
// is turned to a file, so a library that prints on its own is caught as well as this program.
class StandardErrorCapture
{
public:
    StandardErrorCapture() : m_file(std::tmpfile())
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        if (m_file != nullptr)
            ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StandardErrorCapture()
    {
        restore();
        if (m_file != nullptr)
            std::fclose(m_file);
    }
    StandardErrorCapture(const StandardErrorCapture &) = delete;
    StandardErrorCapture &operator=(const StandardErrorCapture &) = delete;

    // Gives standard error back and returns what was written to it meanwhile.
    std::string text()
    {
        restore();
        if (m_file == nullptr)
            return "(standard error could not be captured)";
        std::string written;
        std::rewind(m_file);
        char piece[4096];
        while (const size_t count = std::fread(piece, 1, sizeof piece, m_file))
            written.append(piece, count);
        return written;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    std::FILE *m_file;
    int m_saved = -1;
};
