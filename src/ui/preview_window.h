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

#include <QImage>
#include <QPoint>
#include <QString>
#include <QThreadPool>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "program/play_thread.h"
#include "program/preview_run.h"
#include "program/step_view.h"
#include "ui/job_slot.h"

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
    // saves with saveImageTo.
    void saveImageAs();
    // Saves the image and says where in the status line; a failure is said
    // in a message box. Returns whether it saved.
    bool saveImageTo(const QString& path);
    // Writes the picture shown as a PNG in the screen's sixteen colours.
    // Returns why it failed, or an empty string.
    QString saveImage(const QString& path) const;
    QString status() const;
    // The lines with problems from the newest shown run (1-based).
    const std::vector<int>& problemLines() const { return problemLines_; }
    std::vector<int> warningLines() const {
        std::vector<int> lines;
        for (const ProgramProblem& w : shownResult().warnings) lines.push_back(w.line);
        return lines;
    }
    // Its problems and then its warnings.
    const RunResult& shownResult() const { return view_.record().run.result; }
    // How many runs have been shown since the window was made.
    int shownRuns() const { return shownRuns_; }

    // Stepping: the picture after the first n statements of the shown run
    // (statements(), the default, is the finished picture). A step runs the
    // text again with a cap on the worker; waitUntilShown waits for it too.
    uint64_t statements() const { return view_.statements(); }
    uint64_t step() const { return view_.step(); }
    void setStep(uint64_t n);
    // Says in the status line which statement last painted this pixel of the
    // finished picture. The first pick after a run has the worker follow
    // every pixel's statement first (waitUntilShown waits for it).
    void pickPixel(int x, int y);

    void play();
    void stopPlay();
    bool playing() const { return player_.playing(); }
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
    // A cut: the picture after the first n statements of a text.
    struct Cut {
        std::string text;
        uint64_t n = 0;
    };
    void finished(StepRecord record);
    void showPicture(const PreviewRun& run);
    void cutFinished(const Cut& cut, const PreviewRun& run);
    void ownersFound(StepRecord found);
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
    int shownRuns_ = 0;
    StepView view_;
    // The pixel last clicked while its statement is being found.
    std::optional<QPoint> waitingPick_;
    QSlider* stepSlider_;
    QSpinBox* stepSpin_;
    QLabel* stepOf_;
    QPushButton* playButton_;

    // One worker of its own: runs never overlap (only the newest text runs),
    // and one thread keeps one set of the interpreter's buffers. Its three
    // job slots: the run of a text, the cut for a step, and the search for
    // every pixel's statement at the first pick. Members go in reverse: the
    // play's thread stops first, then each slot waits for its job, then the
    // pool goes.
    QThreadPool pool_;
    JobSlot<QString, StepRecord> runs_;
    JobSlot<Cut, PreviewRun> cuts_;
    JobSlot<std::string, StepRecord> owners_;

    PlayThread player_;
    int playedFrames_ = 0;
};

}  // namespace pasdraw
