// The program preview: a window of its own that shows, at one device pixel per
// screen pixel, what the program "Save" would write draws on the 640 x 480
// sixteen-colour screen, and a line under it that says what the program drew
// or what stops it. The text runs on a worker thread: a runaway loop never
// holds up typing or drawing, and only the newest text is run when several
// changes arrive during one run.
//
// Under the picture, a bar steps through the run: the picture after statement
// N of the M the run executed (calls and assignments, loops unrolled), the
// default being the finished picture. Clicking a pixel names the statement
// that last painted it. Play runs the program in real time on a thread of its
// own, delays included, and shows the screen as it is at each moment.
#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "program/preview_run.h"
#include "program/step_run.h"

class QAction;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace pasdraw {

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Run this text (when visible); newer requests replace older waiting ones.
    void showText(const QString& text);
    // Blocks until the newest requested text has run and is shown (tests).
    void waitUntilShown();

    const QImage& image() const { return image_; }
    // "Copy image" of the context menu: the 640 x 480 picture to the clipboard.
    void copyImage();
    // "Save image…" (context menu, Ctrl+S in this window): asks where, then
    // saves; a failure is said in a message box.
    void saveImageAs();
    // Writes the picture shown as a PNG in the screen's sixteen colours.
    // Returns why it failed, or an empty string.
    QString saveImage(const QString& path) const;
    QString status() const;
    // The lines with problems from the newest shown run (1-based).
    const std::vector<int>& problemLines() const { return problemLines_; }
    std::vector<int> warningLines() const {
        std::vector<int> lines;
        for (const ProgramProblem& w : record_.run.result.warnings) lines.push_back(w.line);
        return lines;
    }
    // Its problems and then its warnings.
    const RunResult& shownResult() const { return record_.run.result; }
    // How many runs have been shown since the window was made.
    int shownRuns() const { return shownRuns_; }

    // Stepping: the picture after the first n statements of the shown run
    // (statements(), the default, is the finished picture). A step runs the
    // text again with a cap on the worker; waitUntilShown waits for it too.
    uint64_t statements() const { return record_.statements(); }
    uint64_t step() const { return step_; }
    void setStep(uint64_t n);
    // Says in the status line which statement last painted this pixel of the
    // finished picture. The first pick after a run has the worker follow
    // every pixel's statement first (waitUntilShown waits for it).
    void pickPixel(int x, int y);

    void play();
    void stopPlay();
    bool playing() const { return playing_; }
    // Frames Play has shown since the window was made.
    int playedFrames() const { return playedFrames_; }

signals:
    // A run was shown; problemLines() and warningLines() hold its lines.
    void shown();
    void visibilityChanged(bool visible);
    // The statement the stepped picture stands after (0: none, the finished
    // picture or before the first statement).
    void runningLine(int line);
    // A click picked the statement that painted a pixel.
    void statementPicked(int line, int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void start(const QString& text);
    void finished();
    void showPicture(const PreviewRun& run);
    void startCut(uint64_t n);
    void cutFinished();
    void ownersFound();
    void sayOwner(int x, int y);
    void showStepControls();
    void showFrame();
    void playEnded(int generation);

    QImage image_;
    // The same picture as colour numbers and the run's palette, for saving.
    QImage indexed_;
    QAction* saveImageAction_;
    QString imagePath_;  // where "Save image…" proposes to save
    QLabel* status_;
    std::vector<int> problemLines_;
    // One worker of its own: runs never overlap (only the newest text runs),
    // and one thread keeps one set of the interpreter's buffers.
    QThreadPool pool_;
    QFutureWatcher<StepRecord> watcher_;
    bool running_ = false;
    int shownRuns_ = 0;
    std::optional<QString> waiting_;

    StepRecord record_;
    uint64_t step_ = 0;
    QSlider* stepSlider_;
    QSpinBox* stepSpin_;
    QLabel* stepOf_;
    QPushButton* playButton_;
    QFutureWatcher<PreviewRun> cutWatcher_;
    bool cutRunning_ = false;
    uint64_t cutStep_ = 0;
    std::optional<uint64_t> waitingCut_;
    QFutureWatcher<StepRecord> ownerWatcher_;
    bool ownersRunning_ = false;
    std::optional<QPoint> waitingPick_;

    // Play: the thread, how it is stopped, and the newest frame it sent,
    // which the window takes when it gets to it (older ones are dropped).
    std::thread player_;
    std::atomic<bool> playStop_{false};
    std::mutex playMutex_;
    std::condition_variable playWake_;
    std::optional<PreviewRun> frame_;
    bool framePosted_ = false;
    bool playing_ = false;
    int playGeneration_ = 0;
    int playedFrames_ = 0;
};

}  // namespace pasdraw
