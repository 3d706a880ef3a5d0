// The program preview: a window of its own that shows, at one device pixel per
// screen pixel, what the program "Save" would write draws on the 640 x 480
// sixteen-colour screen, and a line under it that says what the program drew
// or what stops it. The text runs on a worker thread: a runaway loop never
// holds up typing or drawing, and only the newest text is run when several
// changes arrive during one run.
#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QString>
#include <QThreadPool>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "program/preview_run.h"

class QAction;
class QLabel;

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
    // How many runs have been shown since the window was made.
    int shownRuns() const { return shownRuns_; }

signals:
    // A run was shown; problemLines() holds its lines.
    void shown();
    void visibilityChanged(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void start(const QString& text);
    void finished();

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
    QFutureWatcher<PreviewRun> watcher_;
    bool running_ = false;
    int shownRuns_ = 0;
    std::optional<QString> waiting_;
};

}  // namespace pasdraw
