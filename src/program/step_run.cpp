#include "program/step_run.h"

#include <cctype>
#include <cstring>
#include <memory>

namespace pasdraw {

namespace {

constexpr std::size_t ScreenSize = static_cast<std::size_t>(PreviewRun::Width) * PreviewRun::Height;

// The screen as the preview shows it: its pixels and the palette with the
// background colour the program chose.
void takePicture(const BgiScreen& screen, PreviewRun& run) {
    run.pixels.assign(screen.pixels(), screen.pixels() + ScreenSize);
    run.palette = StandardPalette;
    const uint16_t background = screen.backgroundColour();
    run.palette[0] = background < 16 ? StandardPalette[background] : backgroundRgb(background);
}

class Recorder : public StatementWatch {
public:
    Recorder(const BgiScreen& screen, StepRecord& record, bool followOwners)
        : screen_(screen), r_(record), follow_(followOwners) {
        if (follow_) {
            r_.owner.assign(ScreenSize, 0);
            shadow_.assign(ScreenSize, 0);
        }
    }
    bool before(uint64_t, int line, int column) override {
        if (r_.where.size() < SteppedStatements) r_.where.push_back({line, column});
        workBefore_ = screen_.work();
        return true;
    }
    void after(uint64_t index) override {
        // Every routine that writes a pixel counts it as work, so a statement
        // that did none changed no pixel and needs no comparison.
        if (!follow_ || screen_.work() == workBefore_ || draws_ >= OwnerFollowedDraws) return;
        ++draws_;
        r_.ownersUpTo = index + 1;
        const uint8_t* now = screen_.pixels();
        for (std::size_t row = 0; row < ScreenSize; row += PreviewRun::Width) {
            if (std::memcmp(now + row, shadow_.data() + row, PreviewRun::Width) == 0) continue;
            for (std::size_t k = row; k < row + PreviewRun::Width; ++k) {
                if (now[k] != shadow_[k]) {
                    shadow_[k] = now[k];
                    r_.owner[k] = static_cast<uint32_t>(index + 1);
                }
            }
        }
    }
    void finish() {
        if (!follow_) return;
        if (draws_ < OwnerFollowedDraws) {
            r_.ownersUpTo = r_.where.size();
        } else {
            r_.screenAtOwnersEnd = std::move(shadow_);
        }
    }

private:
    const BgiScreen& screen_;
    StepRecord& r_;
    bool follow_;
    std::vector<uint8_t> shadow_;
    uint64_t workBefore_ = 0;
    uint64_t draws_ = 0;
};

class Cut : public StatementWatch {
public:
    explicit Cut(uint64_t n) : n_(n) {}
    bool before(uint64_t index, int, int) override { return index < n_; }

private:
    uint64_t n_;
};

bool wordAt(std::string_view s, std::size_t at, std::string_view word) {
    if (at + word.size() > s.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(s[at + k])) != word[k]) return false;
    const auto identifier = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    return (at == 0 || !identifier(s[at - 1])) &&
           (at + word.size() == s.size() || !identifier(s[at + word.size()]));
}

}  // namespace

int64_t StepRecord::ownerAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= PreviewRun::Width || y >= PreviewRun::Height || owner.empty()) return 0;
    const auto k = static_cast<std::size_t>(y) * PreviewRun::Width + static_cast<std::size_t>(x);
    if (!screenAtOwnersEnd.empty() && screenAtOwnersEnd[k] != run.pixels[k]) return -1;
    return owner[k];
}

StepRecord recordRun(std::string_view utf8, bool followOwners) {
    StepRecord record;
    record.run.text = std::string(utf8);
    auto screen = std::make_unique<BgiScreen>();
    Recorder recorder(*screen, record, followOwners);
    record.run.result = runProgram(utf8, *screen, RunLimits{}, &recorder);
    recorder.finish();
    takePicture(*screen, record.run);
    return record;
}

PreviewRun runPreviewCut(std::string_view utf8, uint64_t n) {
    PreviewRun run;
    run.text = std::string(utf8);
    auto screen = std::make_unique<BgiScreen>();
    Cut cut(n);
    run.result = runProgram(utf8, *screen, RunLimits{}, &cut);
    takePicture(*screen, run);
    return run;
}

std::string statementText(std::string_view utf8, int line, int column) {
    std::size_t at = 0;
    for (int l = 1; l < line && at < utf8.size(); ++at) {
        if (utf8[at] == '\n' || (utf8[at] == '\r' && (at + 1 == utf8.size() || utf8[at + 1] != '\n'))) ++l;
    }
    for (int c = 1; at < utf8.size(); ++at) {
        if ((static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) continue;
        if (c++ == column) break;
    }
    const std::size_t start = at;
    int depth = 0;
    for (; at < utf8.size(); ++at) {
        const char ch = utf8[at];
        if (ch == '\r' || ch == '\n' || ch == '{' || (depth == 0 && ch == ';')) break;
        if (ch == '(') ++depth;
        if (ch == ')') --depth;
        if (depth == 0 && at > start && (wordAt(utf8, at, "else") || wordAt(utf8, at, "end"))) break;
    }
    std::size_t end = at;
    while (end > start && (utf8[end - 1] == ' ' || utf8[end - 1] == '\t')) --end;
    return std::string(utf8.substr(start, end - start));
}

}  // namespace pasdraw
