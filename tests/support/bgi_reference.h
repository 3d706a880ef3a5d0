// Reference pictures from Free Pascal's own graph unit (ptcgraph on Linux):
// a private Xvfb server, a program that dumps the screen after each case
// through getpixel, and a capture of a program's window as the user sees it.
#pragma once

#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/free_pascal.h"

namespace pasdraw::testing {

inline constexpr int BgiWidth = 640;
inline constexpr int BgiHeight = 480;

// An Xvfb server on a display number it picks itself (-displayfd), stopped
// when this object goes. display() is empty when it could not start.
class XServer {
public:
    XServer() {
        const auto xvfb = findOnPath("Xvfb");
        if (!xvfb) {
            problem_ = "Xvfb was not found on PATH (Debian package xvfb)";
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0) {
            problem_ = "pipe failed";
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execl(xvfb->c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24",
                    "-nolisten", "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (pid_ < 0 || number.empty()) {
            problem_ = "Xvfb did not start";
            return;
        }
        display_ = ":" + number;
    }
    ~XServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }
    const std::string& problem() const { return problem_; }

private:
    pid_t pid_ = -1;
    std::string display_;
    std::string problem_;
};

// fpc and a private X server, what every comparison with a compiled graph
// program needs. problem() says why they are not there (the test then
// skips), empty when they are.
class ReferenceRig {
public:
    ReferenceRig() : fpc_(findOnPath("fpc")) {}
    std::string problem() const {
        if (!fpc_) return "fpc (Free Pascal 3.2.2) is not on PATH";
        return x_.problem();
    }
    const std::filesystem::path& fpc() const { return *fpc_; }
    const std::string& display() const { return x_.display(); }

private:
    std::optional<std::filesystem::path> fpc_;
    XServer x_;
};

// Compiles and links dir/name.pas with fpc (ptcgraph needs the X libraries).
inline CompileResult buildProgram(const std::filesystem::path& fpc, const std::filesystem::path& dir,
                                  const std::string& name, const std::string& source) {
    std::ofstream(dir / (name + ".pas"), std::ios::binary) << source;
    return runCommand("cd " + shellQuoted(dir) + " && " + shellQuoted(fpc) + " -O1 -v0 " +
                      shellQuoted(name + ".pas"));
}

// One dumped screen: the colour indices getpixel reports, and getx, gety.
struct BgiFrame {
    std::vector<uint8_t> pixels;
    int x = 0, y = 0;
};

// A program that runs `cases` one after another and, after each, writes the
// whole screen (run-length coded) and the current position to frames.bin.
// getpixel and the position are relative to the viewport, so the dump reads
// the screen through the whole-screen viewport and then puts back the case's
// viewport and position.
// `variables` and `start` open the program (declarations, initgraph), and
// `beforeEach` comes before every case.
inline std::string dumpProgram(const std::vector<std::string>& cases,
                               const std::string& variables = "gd,gm:smallint;",
                               const std::string& start = "gd:=VGA; gm:=VGAHi; initgraph(gd,gm,'');",
                               const std::string& beforeEach = "") {
    std::string p =
        "uses cthreads,ptcgraph,ptccrt;\n"
        "var " +
        variables +
        " f:file; buf:array[0..4095] of byte; nb:longint;\n"
        "procedure flushbuf; begin if nb>0 then blockwrite(f,buf,nb); nb:=0; end;\n"
        "procedure put(b:byte); begin buf[nb]:=b; inc(nb); if nb=4096 then flushbuf; end;\n"
        "procedure dump; var x,y,cx,cy:smallint; c,p:byte; n:longint; vs:ViewPortType;\n"
        "begin\n"
        " cx:=getx; cy:=gety; getviewsettings(vs); setviewport(0,0,639,479,true);\n"
        " n:=0; p:=255;\n"
        " for y:=0 to 479 do for x:=0 to 639 do begin\n"
        "  c:=getpixel(x,y);\n"
        "  if (c=p) and (n<65535) then inc(n) else begin\n"
        "   if n>0 then begin put(p); put(n and 255); put(n shr 8); end;\n"
        "   p:=c; n:=1; end;\n"
        " end;\n"
        " put(p); put(n and 255); put(n shr 8);\n"
        " put(cx and 255); put((cx shr 8) and 255); put(cy and 255); put((cy shr 8) and 255);\n"
        " setviewport(vs.x1,vs.y1,vs.x2,vs.y2,vs.clip); moveto(cx,cy);\n"
        "end;\n"
        "begin\n" +
        start +
        "\n"
        "assign(f,'frames.bin'); rewrite(f,1); nb:=0;\n";
    for (const std::string& c : cases) p += beforeEach + c + "\ndump;\n";
    p += "flushbuf; close(f); closegraph; halt;\nend.\n";
    return p;
}

// Decodes frames.bin; empty with `error` set when it is short or malformed.
inline std::vector<BgiFrame> readFrames(const std::filesystem::path& file, std::size_t count,
                                        std::string& error) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<BgiFrame> frames;
    std::size_t i = 0;
    const std::size_t size = BgiWidth * BgiHeight;
    for (std::size_t f = 0; f < count; ++f) {
        BgiFrame frame;
        frame.pixels.reserve(size);
        while (frame.pixels.size() < size) {
            if (i + 3 > data.size()) {
                error = "frames.bin ends inside frame " + std::to_string(f);
                return {};
            }
            const std::size_t n = std::size_t{data[i + 1]} | (std::size_t{data[i + 2]} << 8);
            if (n == 0 || frame.pixels.size() + n > size) {
                error = "bad run in frame " + std::to_string(f);
                return {};
            }
            frame.pixels.insert(frame.pixels.end(), n, data[i]);
            i += 3;
        }
        if (i + 4 > data.size()) {
            error = "frames.bin ends before the position of frame " + std::to_string(f);
            return {};
        }
        frame.x = static_cast<int16_t>(data[i] | (data[i + 1] << 8));
        frame.y = static_cast<int16_t>(data[i + 2] | (data[i + 3] << 8));
        i += 4;
        frames.push_back(std::move(frame));
    }
    return frames;
}

// Compiles a dump program, runs it on `display` and returns its `count`
// frames; empty with `error` set on any failure.
inline std::vector<BgiFrame> referenceFramesOf(const std::filesystem::path& fpc, const std::string& display,
                                               const std::string& program, std::size_t count,
                                               std::string& error) {
    ScratchDir dir;
    if (dir.path().empty()) {
        error = "could not create a temporary folder";
        return {};
    }
    const CompileResult built = buildProgram(fpc, dir.path(), "frames", program);
    if (built.exitCode != 0) {
        error = "fpc failed:\n" + built.output;
        return {};
    }
    const CompileResult ran =
        runCommand("cd " + shellQuoted(dir.path()) + " && DISPLAY=" + display + " timeout 300 ./frames");
    if (ran.exitCode != 0) {
        error = "the program failed (" + std::to_string(ran.exitCode) + "):\n" + ran.output;
        return {};
    }
    return readFrames(dir.path() / "frames.bin", count, error);
}

// The frames of the standard dump program for `cases`.
inline std::vector<BgiFrame> referenceFrames(const std::filesystem::path& fpc, const std::string& display,
                                             const std::vector<std::string>& cases, std::string& error) {
    return referenceFramesOf(fpc, display, dumpProgram(cases), cases.size(), error);
}

// The 640 x 480 top-left corner of the X screen as 0xRRGGBB, read from an
// xwd dump (32 bits a pixel, true colour); empty when the dump is unusable.
inline std::vector<uint32_t> parseXwd(const std::vector<uint8_t>& d) {
    auto card = [&](std::size_t field) {
        const std::size_t o = field * 4;
        return static_cast<uint32_t>(d[o] << 24 | d[o + 1] << 16 | d[o + 2] << 8 | d[o + 3]);
    };
    if (d.size() < 100) return {};
    const uint32_t headerSize = card(0), width = card(4), height = card(5), byteOrder = card(7),
                   bitsPerPixel = card(11), bytesPerLine = card(12), colours = card(19);
    const std::size_t offset = headerSize + std::size_t{colours} * 12;
    if (bitsPerPixel != 32 || width < BgiWidth || height < BgiHeight ||
        offset + std::size_t{bytesPerLine} * BgiHeight > d.size())
        return {};
    std::vector<uint32_t> rgb(BgiWidth * BgiHeight);
    for (int y = 0; y < BgiHeight; ++y) {
        for (int x = 0; x < BgiWidth; ++x) {
            const uint8_t* p = &d[offset + std::size_t{bytesPerLine} * static_cast<std::size_t>(y) +
                                  static_cast<std::size_t>(x) * 4];
            const uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
            const uint32_t v =
                byteOrder == 0 ? (b0 | b1 << 8 | b2 << 16 | b3 << 24) : (b0 << 24 | b1 << 16 | b2 << 8 | b3);
            rgb[static_cast<std::size_t>(y * BgiWidth + x)] = v & 0xFFFFFF;
        }
    }
    return rgb;
}

inline std::vector<uint32_t> captureProgramWindowOnce(const std::filesystem::path& dir,
                                                      const std::string& executable,
                                                      const std::string& display,
                                                      const std::filesystem::path& xwd, std::string& error) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        error = "fork failed";
        return {};
    }
    const std::filesystem::path log = dir / (executable + ".log");
    if (pid == 0) {
        ::setenv("DISPLAY", display.c_str(), 1);
        // What the program prints goes to a log, for the message if it stops.
        if (FILE* out = std::freopen(log.c_str(), "w", stdout)) ::dup2(::fileno(out), 2);
        const std::string program = (dir / executable).string();
        if (::chdir(dir.c_str()) == 0)
            ::execl(program.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const std::string command = shellQuoted(xwd) + " -root -silent -display " + display;
    auto grab = [&] {
        std::vector<uint8_t> bytes;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return std::vector<uint32_t>{};
        uint8_t buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        ::pclose(pipe);
        return parseXwd(bytes);
    };
    // The bare root window (Xvfb's default pattern) is what shows before the
    // program's window opens, so a capture must differ from it, and agree with
    // the two before it, to count.
    const std::vector<uint32_t> root = grab();
    std::vector<uint32_t> result;
    std::vector<std::vector<uint32_t>> recent;
    int status = 0;
    bool ended = false;
    for (int attempt = 0; attempt < 80 && result.empty() && !ended; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::vector<uint32_t> rgb = grab();
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;  // it should wait for a key: whatever it showed is not its picture
            break;
        }
        if (rgb.empty() || rgb == root) {
            recent.clear();
            continue;
        }
        recent.push_back(std::move(rgb));
        if (recent.size() >= 3 && recent[recent.size() - 1] == recent[recent.size() - 2] &&
            recent[recent.size() - 2] == recent[recent.size() - 3])
            result = recent.back();
    }
    if (!ended) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    if (result.empty()) {
        std::ifstream in(log);
        const std::string printed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        error = ended ? "the program ended before its window settled (status " + std::to_string(status) +
                            "); it printed:\n" + printed
                      : "the window never settled; the program printed:\n" + printed;
    }
    return result;
}

// Runs dir/executable (a program that draws and then waits for a key) on
// `display` and returns its window's pixels once three captures in a row
// agree. The window opens at the screen's top-left corner: Xvfb runs no
// window manager. A program that ends or never settles is started once more:
// one full parallel test run saw a start fail that way; both reasons are kept.
inline std::vector<uint32_t> captureProgramWindow(const std::filesystem::path& dir,
                                                  const std::string& executable, const std::string& display,
                                                  std::string& error) {
    const auto xwd = findOnPath("xwd");
    if (!xwd) {
        error = "xwd was not found on PATH (Debian package x11-apps)";
        return {};
    }
    std::string first;
    std::vector<uint32_t> result = captureProgramWindowOnce(dir, executable, display, *xwd, first);
    if (!result.empty()) return result;
    std::string second;
    result = captureProgramWindowOnce(dir, executable, display, *xwd, second);
    if (result.empty()) error = "first start: " + first + "\nsecond start: " + second;
    return result;
}

// Builds `source` (a program that draws and then waits for a key), runs it on
// `display`, and returns its window's pixels once they have settled.
inline std::vector<uint32_t> captureWindow(const std::filesystem::path& fpc, const std::string& display,
                                           const std::string& source, std::string& error) {
    ScratchDir dir;
    const CompileResult built = buildProgram(fpc, dir.path(), "window", source);
    if (built.exitCode != 0) {
        error = "fpc failed:\n" + built.output;
        return {};
    }
    return captureProgramWindow(dir.path(), "window", display, error);
}

}  // namespace pasdraw::testing
