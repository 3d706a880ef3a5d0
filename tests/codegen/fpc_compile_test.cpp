// Generated programs must be accepted by a real Pascal compiler. On Linux the
// BGI unit of Free Pascal is ptcgraph (with ptccrt for crt), so the uses line
// is rewritten; "fpc -s" parses and checks the program without linking it.
// A missing compiler or unit is a failure, not a skip: without them nothing
// here is checked.
#include <gtest/gtest.h>
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
#include "picture_builder.h"

namespace pasdraw {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return std::nullopt;
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

struct CompileResult {
    int exitCode = -1;
    std::string output;
};

// A private folder per program: fpc writes its object and script files next to
// the source, and ctest may run cases side by side.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "pasdraw-fpc-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string quoted(const fs::path& p) {
    std::string q = "'";
    for (char c : p.string()) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CompileResult compile(const fs::path& fpc, const std::string& programBytes) {
    ScratchDir dir;
    if (dir.path().empty()) return {-1, "could not create a temporary folder"};
    const fs::path source = dir.path() / "test.pas";
    {
        std::ofstream out(source, std::ios::binary);
        out.write(programBytes.data(), static_cast<std::streamsize>(programBytes.size()));
        if (!out) return {-1, "could not write " + source.string()};
    }
    const std::string command = "cd " + quoted(dir.path()) + " && " + quoted(fpc) + " -s test.pas 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, "could not run: " + command};
    CompileResult result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The saved file, with the BGI units swapped for their Linux names.
std::string forFreePascal(const std::string& text) {
    std::string program = programFileBytes(text);
    const std::string uses = "uses graph,crt;";
    if (program.starts_with(uses)) program.replace(0, uses.size(), "uses ptcgraph,ptccrt;");
    return program;
}

class FreePascal : public ::testing::Test {
protected:
    void SetUp() override {
        fpc_ = findOnPath("fpc");
        ASSERT_TRUE(fpc_.has_value()) << "fpc (Free Pascal 3.2.2) was not found on PATH; install it to run "
                                         "these tests";
        const CompileResult probe = compile(*fpc_, "uses ptcgraph,ptccrt;\r\nbegin\r\nend.\r\n");
        ASSERT_EQ(probe.exitCode, 0) << "fpc cannot use the units ptcgraph and ptccrt (Debian package "
                                        "fp-units-gfx, e.g. apt-get install -y fp-units-gfx):\n"
                                     << probe.output;
    }

    void expectCompiles(const std::string& form, const std::string& text) {
        SCOPED_TRACE(form);
        const std::string program = forFreePascal(text);
        ASSERT_TRUE(program.starts_with("uses ptcgraph,ptccrt;\r\n"));
        const CompileResult result = compile(*fpc_, program);
        EXPECT_EQ(result.exitCode, 0) << "fpc rejected the program:\n"
                                      << program << "\nfpc said:\n"
                                      << result.output;
    }

    void expectAllFormsCompile(const Picture& p) {
        expectCompiles("absolute", generateAbsolute(p));
        expectCompiles("value", generateValueForm(p, computeOrigin(p)));
        expectCompiles("slider, XK unset", generateSliderForm(p, std::nullopt, 0));
        expectCompiles("slider, XK unset, YK set", generateSliderForm(p, std::nullopt, 240));
        expectCompiles("slider, XK and YK set", generateSliderForm(p, 640, 480));
    }

    std::optional<fs::path> fpc_;
};

// Without this, a harness that never saw fpc's verdict would pass everything.
TEST_F(FreePascal, RejectsABrokenStatement) {
    const CompileResult result = compile(*fpc_, forFreePascal("setcolor(4);line(1,2,3);\r\n"));
    EXPECT_NE(result.exitCode, 0) << result.output;
}

TEST_F(FreePascal, EmptyPicture) { expectAllFormsCompile(*testing::newPicture()); }

// Negative stored coordinates give negative numbers everywhere: absolute
// values, a negative origin, and negative offsets in both origin forms.
TEST_F(FreePascal, NegativeCoordinates) {
    auto p = testing::newPicture();
    testing::addLine(*p, 4, {.X1 = -15, .X2 = 3019, .Y1 = -5, .Y2 = -2000});
    testing::addRectangle(*p, 14, {.X1 = -32768, .X2 = 400, .Y1 = 900, .Y2 = -32768});
    testing::addEllipse(*p, 2, {.X1 = 1530, .X2 = -1000, .Y1 = -1490, .Y2 = 2000});
    testing::addCircle(*p, 9, {.X = -3205, .Y = -2410, .Radius = 1234});
    testing::addFill(*p, 12, -3209, 32767, 9);
    expectAllFormsCompile(*p);
}

TEST_F(FreePascal, EveryKind) {
    auto p = testing::newPicture();
    testing::addSixRecordExample(*p);
    testing::addOneOfEachKind(*p, 150);
    testing::addFill(*p, 15, 10, 10, 0);
    expectAllFormsCompile(*p);
}

}  // namespace
}  // namespace pasdraw
