// Running Free Pascal on generated programs. On Linux the BGI unit of Free
// Pascal is ptcgraph (with ptccrt for crt), so the uses line is rewritten;
// "fpc -s" parses and checks the program without assembling or linking it.
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "codegen/codegen.h"

namespace pasdraw::testing {

inline std::optional<std::filesystem::path> findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return std::nullopt;
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

struct CompileResult {
    int exitCode = -1;
    std::string output;
};

// A private folder: fpc writes its object and script files next to the source,
// and ctest may run cases side by side.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pasdraw-fpc-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string shellQuoted(const std::filesystem::path& p) {
    std::string q = "'";
    for (char c : p.string()) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a shell command, returning its exit code and everything it printed.
inline CompileResult runCommand(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {-1, "could not run: " + command};
    CompileResult result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Writes `programBytes` to dir/fileName and compiles it there. Several
// programs may share a folder as long as their file names differ and they are
// not compiled at the same time (fpc rewrites its ppas.sh script each run).
inline CompileResult compileIn(const std::filesystem::path& fpc, const std::filesystem::path& dir,
                               const std::string& fileName, const std::string& programBytes) {
    const std::filesystem::path source = dir / fileName;
    {
        std::ofstream out(source, std::ios::binary);
        out.write(programBytes.data(), static_cast<std::streamsize>(programBytes.size()));
        if (!out) return {-1, "could not write " + source.string()};
    }
    return runCommand("cd " + shellQuoted(dir) + " && " + shellQuoted(fpc) + " -s " + shellQuoted(fileName));
}

// Builds a console program (no graph unit) in `dir` and runs it. On success
// the result is the program's exit code and output; if it does not compile,
// exit code -1 and the compiler's messages.
inline CompileResult compileAndRun(const std::filesystem::path& fpc, const std::filesystem::path& dir,
                                   const std::string& programBytes) {
    const std::filesystem::path source = dir / "probe.pas";
    {
        std::ofstream out(source, std::ios::binary);
        out.write(programBytes.data(), static_cast<std::streamsize>(programBytes.size()));
        if (!out) return {-1, "could not write " + source.string()};
    }
    const CompileResult built =
        runCommand("cd " + shellQuoted(dir) + " && " + shellQuoted(fpc) + " -v0 probe.pas");
    if (built.exitCode != 0) return {-1, built.output};
    return runCommand(shellQuoted(dir / "probe"));
}

// Compiles one program as test.pas in a folder of its own.
inline CompileResult compile(const std::filesystem::path& fpc, const std::string& programBytes) {
    ScratchDir dir;
    if (dir.path().empty()) return {-1, "could not create a temporary folder"};
    return compileIn(fpc, dir.path(), "test.pas", programBytes);
}

// The saved file, with the BGI units swapped for their Linux names.
inline std::string forFreePascal(const std::string& text) {
    std::string program = programFileBytes(text);
    const std::string uses = "uses graph,crt;";
    if (program.starts_with(uses)) program.replace(0, uses.size(), "uses ptcgraph,ptccrt;");
    return program;
}

// Empty when fpc is on PATH and can use ptcgraph and ptccrt, else why not.
// Without them nothing is checked, so callers fail rather than skip.
inline std::string freePascalProblem(const std::optional<std::filesystem::path>& fpc) {
    if (!fpc) return "fpc (Free Pascal 3.2.2) was not found on PATH; install it to run these tests";
    const CompileResult probe = compile(*fpc, "uses ptcgraph,ptccrt;\r\nbegin\r\nend.\r\n");
    if (probe.exitCode != 0) {
        return "fpc cannot use the units ptcgraph and ptccrt (Debian packages fp-units-gfx and "
               "fp-units-fcl, e.g. apt-get install -y fp-units-gfx fp-units-fcl):\n" +
               probe.output;
    }
    return {};
}

}  // namespace pasdraw::testing
